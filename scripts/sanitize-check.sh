#!/usr/bin/env bash
# The checks that catch memory and undefined-behaviour faults which plain
# tests pass over: the engine, platform, store and common tests and the
# scanner's tests built with clang's AddressSanitizer and
# UndefinedBehaviorSanitizer (any finding aborts), the scanner run over a
# tree of hostile names, and a short libFuzzer run of the result-file reader
# and the bar and pie data built from what it loads, and of the reader of
# exports in ncdu's format.
#
# usage: sanitize-check.sh [BUILD_DIR]
#   BUILD_DIR     the sanitizer build, apart from the normal one
#                 (default: build-sanitize in the repository)
#   JOBS          parallel compile jobs (default: the number of cores)
#   FUZZ_RUNS     inputs the fuzzer tries (default 4000, about 20 s)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-sanitize}
jobs=${JOBS:-$(nproc)}
fuzz_runs=${FUZZ_RUNS:-4000}

# Each step with the seconds since the start, to see where the time goes.
step() { echo "== sanitize: $* (${SECONDS} s)"; }

# -O1 keeps the instrumented tests fast enough; line tables are all the
# reports need. fuzzer-no-link gives every library the coverage feedback
# libFuzzer steers by; only the fuzz target links libFuzzer itself. The
# sources compile in batches, as in the normal build: file by file the
# instrumented build took 330 s on 2 cores instead of 195 s.
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
flags="$flags -fsanitize=fuzzer-no-link"
# Ninja compiles a target's files while the libraries it links are still
# being built (113 s instead of 170 s on 2 cores); a build folder made
# before keeps its generator.
generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
step "configure $build"
cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
    -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_MODULE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCQ_FUZZ=ON -DCQ_HUGE_PAGE_HEAP=OFF -DCQ_UNITY_BUILD=ON >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log"
    exit 1
}
rm -f "$build.configure.log"

# Longest first, by their times under the sanitizers on a 2-core machine:
# test_store about 115 s, test_engine 90 s, test_scan_tool 40 s, the rest
# 10 s or less.
tests=(test_store test_engine test_scan_tool test_history test_platform test_common)
step "build ${tests[*]} cobaltquarry-scan result_fuzz ncdu_fuzz"
cmake --build "$build" -j "$jobs" --target "${tests[@]}" cobaltquarry-scan result_fuzz ncdu_fuzz
built_at=$SECONDS

export ASAN_OPTIONS=detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

tmp=$(mktemp -d)
trap 'chmod -R u+rwx "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
# The pie's fonts want a private runtime folder; without one Qt warns.
mkdir -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR=$tmp/runtime

# Hostile names: percent escapes, backslashes, line breaks, terminal escapes,
# bytes that are not UTF-8, and a path deeper than PATH_MAX.
step "cobaltquarry-scan over hostile names"
tree=$tmp/odd
mkdir -p "$tree"
(
    cd "$tree"
    for name in '100%' '%5C' '%25' 'back\slash' 'C:\fake' $'line\nbreak' $'cr\rhere' \
        $'\e[31mred' $'\x7f' $'latin\xe9' $'\xff\xfe' $'\xc2\x9b' ' lead' 'trail ' '-dash'; do
        mkdir -- "$name"
        head -c 1234 /dev/zero >"$name/f"
    done
    # A date past 2262, the end of nanoseconds in 64 bits; ext4 and tmpfs
    # hold it.
    touch -d 2400-01-01 '100%/f'
    # 40 levels of 120-byte names: about 4800 bytes, past PATH_MAX.
    deep=$(printf 'd%.0s' $(seq 120))
    for _ in $(seq 40); do
        mkdir "$deep"
        cd "$deep"
    done
    head -c 4321 /dev/zero >f
)
scan=$build/tools/cobaltquarry-scan
# Debian's own interpreter: a python3 first on the PATH may be a version
# manager's shim, which takes half a second to start.
python=/usr/bin/python3
mkdir -p "$tmp/out"
XDG_DATA_HOME=$tmp/data "$scan" --top 100 "$tree" >"$tmp/report.txt"
XDG_DATA_HOME=$tmp/data "$scan" --json --out "$tmp/out" --pie "$tmp/odd.png" -- "$tree" \
    >"$tmp/report.json"
# Every subfolder on one line of its own: path, total, heading, 16 rows.
lines=$(wc -l <"$tmp/report.txt")
if [ "$lines" -ne 19 ]; then
    cat -v "$tmp/report.txt"
    echo "sanitize: the report of the hostile names has $lines lines, not 19" >&2
    exit 1
fi
# The JSON report names all 16, and the lists written hold every folder.
"$python" - "$tmp/report.json" "$tmp"/out/?Dirs <<'PY' || exit 1
import json, sys
report = json.load(open(sys.argv[1]))
lines = open(sys.argv[2], "rb").read().count(b"\r\n")
if len(report["largest"]) != 16 or report["folders"] != lines or lines != 1 + 15 + 40:
    sys.exit("sanitize: the JSON report or the lists of the hostile names are wrong")
PY

# Messages name hostile names escaped as the reports do: a missing PATH,
# a missing import, --changes and --save of a folder whose drive has no
# stored results, an unknown option. Each is one line (a usage error two,
# the second pointing to --help) with no control character but its end.
step "cobaltquarry-scan messages naming hostile names"
evil=$'evil\e]0;PWNED\a\e[2J\xc2\x9b'
mkdir "$tree/$evil"
head -c 100 /dev/zero >"$tree/$evil/f"
run_message() {
    local want=$1 lines=$2
    shift 2
    local status=0
    XDG_DATA_HOME=$tmp/data "$scan" "$@" >/dev/null 2>"$tmp/message" || status=$?
    if ! [[ " $want " == *" $status "* ]] ||
        ! "$python" - "$tmp/message" "$lines" <<'PY'; then
import re, sys
text = open(sys.argv[1], "rb").read()
ok = text.count(b"\n") == int(sys.argv[2]) and text.startswith(b"cobaltquarry-scan: ")
sys.exit(0 if ok and not re.search(rb"[\x00-\x09\x0b-\x1f\x7f]|\xc2[\x80-\x9f]", text) else 1)
PY
        cat -v "$tmp/message"
        echo "sanitize: '$*' gave status $status or an unescaped message" >&2
        exit 1
    fi
}
run_message 2 1 "$tree/missing$evil"
run_message 2 1 --import "$tmp/missing$evil.json"
run_message 2 1 --changes "$tree/$evil"
run_message "1 2" 1 --save "$tree/$evil"
run_message 2 2 "--what$evil" "$tree"
# The file dated 2400 keeps its date in an export.
XDG_DATA_HOME=$tmp/data "$scan" --export "$tmp/far.json" "$tree/100%"
"$python" - "$tmp/far.json" <<'PY' || exit 1
import json, sys
f = json.load(open(sys.argv[1]))[3][1]
if abs(f.get("mtime", 0) - 13569465600) > 86400:  # 2400-01-01 in any zone
    sys.exit("sanitize: the export lost the date of the file dated 2400")
PY

# The test programs and the two fuzzers run side by side, JOBS at a time, in
# one queue with the longest first, so that neither core waits at the end for
# a long program started last. Each test program runs all its cases in one
# process: one sanitizer start-up instead of one per case. Each job's log is
# shown only when it fails.
# run_parallel NAME... with run_one NAME defined: every NAME's status in
# $tmp/NAME.rc, its output in $tmp/NAME.log.
run_parallel() {
    local name
    for name in "$@"; do
        while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
            wait -n || true
        done
        (if run_one "$name" >"$tmp/$name.log" 2>&1; then echo 0; else echo $?; fi >"$tmp/$name.rc") &
    done
    wait
}

# The fuzzers start from the committed seeds and keep what they find in the
# build folder; a fixed seed makes a failure repeat on the next run. Each
# runs on one core.
fuzz_args() {
    case $1 in
        result_fuzz) echo "$root/tests/fuzz/corpus -dict=$root/tests/fuzz/result.dict" ;;
        ncdu_fuzz) echo "$root/tests/fuzz/ncdu-corpus -dict=$root/tests/fuzz/ncdu.dict" ;;
    esac
}
run_one() {
    case $1 in
        *_fuzz)
            local seeds dict
            read -r seeds dict <<<"$(fuzz_args "$1")"
            mkdir -p "$build/$1-corpus" "$build/fuzz-artifacts"
            "$build/tests/fuzz/$1" -seed=1 -runs="$fuzz_runs" -max_len=4096 \
                -artifact_prefix="$build/fuzz-artifacts/" "$dict" "$build/$1-corpus" "$seeds"
            ;;
        *) "$(find "$build/tests" -type f -name "$1" -perm -u+x | head -n 1)" --gtest_brief=1 ;;
    esac
}
fuzzers=(result_fuzz ncdu_fuzz)
# Each fuzzer takes about 15 s: after the three long test programs.
queue=("${tests[@]:0:3}" "${fuzzers[@]}" "${tests[@]:3}")
step "${queue[*]}, $jobs at a time ($fuzz_runs inputs for each fuzzer)"
run_parallel "${queue[@]}"
for t in "${tests[@]}"; do
    if [ "$(cat "$tmp/$t.rc")" != 0 ]; then
        cat "$tmp/$t.log"
        echo "sanitize: $t failed" >&2
        exit 1
    fi
    echo "$t: $(tail -n 1 "$tmp/$t.log")"
done
for f in "${fuzzers[@]}"; do
    if [ "$(cat "$tmp/$f.rc")" != 0 ]; then
        tail -n 60 "$tmp/$f.log"
        echo "sanitize: $f found a fault; the input is in $build/fuzz-artifacts" >&2
        exit 1
    fi
    echo "$f: $(grep -E '^(#[0-9]+\s+DONE|Done)' "$tmp/$f.log" | tail -n 1)"
done
step "no findings"
echo "== sanitizer build: ${built_at} s, sanitizer runs: $((SECONDS - built_at)) s"
