#!/usr/bin/env bash
# `make bench`: every module's benchmark script (bench/*/run.sh), the whole
# scan last. Usage: bench/run.sh [BUILD_DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
status=0
for script in "$here"/*/run.sh; do
  [ "$script" = "$here/scan/run.sh" ] && continue
  echo "== $(basename "$(dirname "$script")")"
  bash "$script" "$build" || status=1
done
if [ -f "$here/scan/run.sh" ]; then
  echo "== scan"
  bash "$here/scan/run.sh" "$build" || status=1
fi
exit $status
