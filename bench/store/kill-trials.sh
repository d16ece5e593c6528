#!/bin/sh
# Kills saves of a drive's results at random moments and loads what is left:
# every load must give one of the saved sets whole, never a mix of two.
# Usage: bench/store/kill-trials.sh [BUILD_DIR] [TRIALS] [FOLDERS] [MODE]
# MODE: save-behind (default: each save as the window's, on a thread of its
# own behind the lists shown) or save (the plain save).
# Prints one line per trial and a summary: sets loaded whole (as saved last,
# or the set before an interrupted save), mixed sets loaded (must be 0),
# sets refused, and the most temporary files ever found in the data folder.
set -e
build=${1:-build}
trials=${2:-200}
folders=${3:-200000}
mode=${4:-save-behind}
bin="$build/bench/store/bench_store_kill"
if [ ! -x "$bin" ]; then
    cmake --build "$build" --target bench_store_kill >/dev/null
fi
data=$(mktemp -d /tmp/cq-kill-XXXXXX)
trap 'rm -rf "$data" "$data.saves"' EXIT
CQ_SAVE_ONCE=1 "$bin" "$mode" "$data" "$folders" >/dev/null
whole=0; earlier=0; mixed=0; refused=0; most=0
i=0
while [ "$i" -lt "$trials" ]; do
    i=$((i + 1))
    rm -f "$data.saves"
    "$bin" "$mode" "$data" "$folders" >"$data.saves" &
    pid=$!
    # Once the first save has finished (the lists are built and the saves
    # follow each other), a random moment within about two saves.
    while [ ! -s "$data.saves" ] && kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
    delay=$(awk -v seed="$i$$" 'BEGIN { srand(seed); printf "%.3f", 2 * rand() }')
    sleep "$delay"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    saves=$(wc -l <"$data.saves")
    set -- $("$bin" check "$data" "$folders")
    verdict=$1; temps=$2
    case $verdict in
        whole) whole=$((whole + 1)) ;;
        whole-earlier) earlier=$((earlier + 1)) ;;
        refused) refused=$((refused + 1)) ;;
        *) mixed=$((mixed + 1)) ;;
    esac
    [ "$temps" -gt "$most" ] && most=$temps
    echo "trial $i: killed ${delay} s after save $saves: $verdict, $temps temporary files"
done
echo "kill trials: $trials saves ($mode) of $folders folders killed"
echo "  loaded whole as saved last:       $whole"
echo "  loaded whole from before the cut: $earlier"
echo "  mixed sets loaded:                $mixed"
echo "  refused:                          $refused"
echo "  most temporary files at a load:   $most"
[ "$mixed" -eq 0 ]
