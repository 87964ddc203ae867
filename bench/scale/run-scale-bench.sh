#!/usr/bin/env bash
# Runs the scale benchmarks and the peak-memory run, then prints the figures
# as ratios to their baselines. The build folder must hold travonix_bench and
# travonix_scale_memory (a Release build).
#   run-scale-bench.sh [BUILD_DIR]       (default: build)
# Leaves bench.json and memory.json in BUILD_DIR/bench/scale-results.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-build}"
results="$build/bench/scale-results"
mkdir -p "$results"

"$build/bench/travonix_bench" --benchmark_filter='^BM_Scale_' \
    --benchmark_out="$results/bench.json" --benchmark_out_format=json
# A failed memory run says why on stderr; the timing figures are still shown.
"$build/bench/travonix_scale_memory" 20000 >"$results/memory.json" || true
cat "$results/memory.json"
echo
python3 "$here/ratios.py" "$results/bench.json" "$results/memory.json"
