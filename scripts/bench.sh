#!/usr/bin/env bash
# Runs the native benchmarks and prints each result as a ratio to the baseline of the same run
# (BM_CopyFrame). The Wine timing host of the LCD painting is described in docs/performance.md.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j2 --target bench_host_path
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
