# The set-up the benchmark scripts share; sourced, never run. After
#     . "$(dirname "$0")/../common.sh" NAME [BUILD_DIR]
# it gives: $root (the repository), $build (absolute), $scan (the scanner,
# checked to be built), $mktree (the tree generator), $base (where generated
# trees are kept); and the functions below. NAME prefixes its messages.
bench_name=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${2:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
scan="$build/tools/cobaltquarry-scan"
mktree="${MKTREE:-$root/../shared/tools/mktree.py}"
base=${BENCH_TREES:-/tmp/cobaltquarry-bench-trees}
[ -x "$scan" ] || { echo "$bench_name: $scan not built" >&2; exit 1; }
# The benchmark programs are not part of the default build: build them (a
# no-op when they are up to date) so that each script can run on its own.
cmake --build "$build" --target cq_benchmarks >/dev/null ||
  { echo "$bench_name: the benchmark programs cannot be built in $build" >&2; exit 1; }

# Cold runs need the page cache dropped before each run (root only).
drop_caches() { sync && echo 3 >/proc/sys/vm/drop_caches; }

# Sets cold and warm (true or false) from the words of MODES, saying so when
# cold runs are asked for but the cache cannot be dropped.
bench_modes() {
  cold=false
  warm=false
  case " $1 " in
    *" cold "*)
      if (drop_caches) 2>/dev/null; then
        cold=true
      else
        echo "$bench_name: cold runs skipped: cannot write /proc/sys/vm/drop_caches (run as root)" >&2
      fi
      ;;
  esac
  case " $1 " in *" warm "*) warm=true ;; esac
}

# The generated tree of FILES files and SEED in $base, made when missing;
# prints its path.
bench_tree() {
  local tree="$base/tree-$1-seed$2"
  [ -f "$mktree" ] || { echo "$bench_name: tree generator $mktree not found (set MKTREE)" >&2; exit 1; }
  if [ ! -d "$tree" ]; then
    echo "building $tree ..." >&2
    mkdir -p "$base"
    python3 "$mktree" "$tree" --files "$1" --seed "$2" >/dev/null
  fi
  echo "$tree"
}

# timed NAME MODE COMMAND: runs COMMAND and appends "NAME|MODE|seconds
# kilobytes" to the file $times (using $out/.t).
timed() {
  /usr/bin/time -f "%e %M" -o "$out/.t" bash -c "$3" >/dev/null 2>&1 || true
  echo "$1|$2|$(tail -1 "$out/.t")" >>"$times"
}

# report TITLE: the table of the runs in $times, medians over $rounds
# alternating rounds.
report() {
  python3 "$root/bench/table.py" "$times" "$1 (median of $rounds alternating rounds)"
}
