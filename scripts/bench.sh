#!/usr/bin/env bash
# Runs the benchmarks and prints every result as a ratio to a baseline measured in the same run:
#   1. the core's host path pieces (bench_host_path) against copying a frame;
#   2. the headless panel, alone and driven through the host kit, against the bare dispatcher;
#   3. under Wine, the host's round trip through orppanel.dll against a bare SendMessage to the
#      panel's window (64-bit; 32-bit too where 32-bit programs run), and the pieces of the
#      host's path alone;
#   4. under Wine, the round trip over the UDP link to orp-target in a network namespace (root
#      only) against the host's round trip plus two UDP round trips.
# Native programs are built in build-bench/ (Release), the cross builds in build-win64/ and
# build-win/. Runs: ORP_BENCH_RUNS (default 1) runs of the Wine timing hosts.
#
#   scripts/bench.sh [native|wine|link]...   (default: all of them)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
parts=${*:-native wine link}
runs=${ORP_BENCH_RUNS:-1}
step() { printf '\n==== %s\n' "$*"; }

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j2 --target bench_host_path bench_headless orp-target orp-designtool orp-lcdtool >/dev/null

if [[ " $parts " == *" native "* ]]; then
  step "host path pieces, x copying a 20-byte frame"
  out=$(mktemp)
  build-bench/bench/bench_host_path --benchmark_format=json --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true >"$out"
  python3 - "$out" <<'PY'
import json, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("aggregate_name") == "median"]
base = next(b["cpu_time"] for b in runs if b["run_name"] == "BM_CopyFrame")
print(f"{'benchmark':<24}{'median ns':>12}{'x baseline':>12}")
for b in runs:
    print(f"{b['run_name']:<24}{b['cpu_time']:>12.1f}{b['cpu_time'] / base:>12.1f}")
PY
  rm -f "$out"
  step "headless panel against the bare dispatcher"
  build-bench/bench/bench_headless --benchmark_color=false | tail -2
fi

# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
if why32=$(orp_wine32_unusable); then widths="64"; else widths="64 32"; fi
cross_build() {  # cross_build <width> <targets...>
  local width=$1 dir arch
  shift
  if [ "$width" = 64 ]; then dir=build-win64; arch=x86_64; else dir=build-win; arch=i686; fi
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" >/dev/null 2>&1
  cmake --build "$dir" -j2 --target "$@" >/dev/null
  echo "$dir"
}

if [[ " $parts " == *" wine "* ]]; then
  demo="$root/build-bench/demo"
  python3 samples/make_demo_workdir.py "$demo" --designtool build-bench/tools/orp-designtool \
    --lcdtool build-bench/tools/orp-lcdtool >/dev/null
  for width in $widths; do
    dir=$(cross_build "$width" orp_host_round_trip_bench)
    step "host round trip under Wine, $width-bit"
    orp_wine_start "$dir" "$width"
    design=$(orp_wine winepath -w "$demo/ORPDesigns/demo.orp" 2>/dev/null | tr -d '\r')
    for run in $(seq 1 "$runs"); do
      [ "$runs" -gt 1 ] && echo "-- run $run"
      (cd "$dir/bin" && timeout 900 "$ORP_WINE" orp_host_round_trip_bench.exe "$design" 500 5)
    done
    orp_wine_stop
  done
  [ "$widths" = 64 ] && echo "32-bit timing host not run ($why32)"
fi

if [[ " $parts " == *" link "* ]]; then
  dir=$(cross_build 64 orp_link_round_trip_bench)
  step "UDP link round trip under Wine, 64-bit"
  for run in $(seq 1 "$runs"); do bench/link_bench.sh "$dir" 300 5; done
fi
