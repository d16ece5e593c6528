#!/usr/bin/env bash
# Picture benchmarks: the full pie redraw at 100 % and 300 % and the gradient
# rebuilds of the bar style, each next to a simpler peer measured in the same
# run, then the ratios. Usage: bench/picture/run.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
bench="$build/bench/picture/picture_bench"
if [ ! -x "$bench" ]; then
  echo "picture: $bench not built (is libbenchmark-dev installed?)" >&2
  exit 1
fi
json=$(mktemp)
trap 'rm -f "$json"' EXIT
# Three repetitions each; the ratios use the medians, which other work on a
# shared machine disturbs least.
QT_QPA_PLATFORM=offscreen "$bench" --benchmark_min_time=0.3 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json
python3 - "$json" <<'PY'
import json, sys
runs = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def ms(name, key="real_time"):
    b = runs[name]
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b[key] * scale
import os
load = os.getloadavg()[0]
print(f"\nPicture (load average {load:.1f} on {os.cpu_count()} cores; wall times include the "
      "waiting that load causes, cpu times do not)")
print("Picture: full pie redraw (bevel passes, both shadings, Lanczos)")
for zoom in (100, 300):
    full = ms(f"BM_PieFullRedraw/{zoom}")
    cpu = ms(f"BM_PieFullRedraw/{zoom}", "cpu_time")
    aa = ms(f"BM_PeerAntialiasedPie/{zoom}")
    lz = ms(f"BM_PieLanczosScale/{zoom}")
    qt = ms(f"BM_PeerQtSmoothScale/{zoom}")
    print(f"  zoom {zoom:3d} %: {full:7.1f} ms wall ({cpu:.1f} ms cpu); "
          f"x{full / aa:.1f} the flat anti-aliased peer ({aa:.1f} ms); "
          f"Lanczos {lz:.1f} ms = x{lz / qt:.1f} Qt smooth scaling ({qt:.1f} ms)")
goal = ms("BM_PieFullRedraw/300")
print(f"  300 % redraw goal 250 ms: {'met' if goal < 250 else 'MISSED'} ({goal:.1f} ms)")
bar = runs["BM_GradientRebuildBarStyle"]["items_per_second"]
peer = runs["BM_PeerQLinearGradientFill"]["items_per_second"]
radial = runs["BM_GradientRebuildRadial"]["items_per_second"]
print("Picture: gradient rebuilds (ramp, pattern, 200 x 200 rendering)")
print(f"  bar style: {bar:,.0f}/s = x{bar / peer:.2f} the rate of a QLinearGradient fill "
      f"({peer:,.0f}/s); radial style: {radial:,.0f}/s")
PY
