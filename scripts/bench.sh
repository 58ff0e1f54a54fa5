#!/usr/bin/env bash
# Builds the benchmark programs optimised and runs them all; each prints its figures and the
# machine. JSON results land in build/bench/results/. Extra arguments go to every program
# (e.g. --benchmark_filter=ServerChat).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh libbenchmark-dev
cmake --preset bench >/dev/null
cmake --build --preset bench --target quorvane_bench_dispatch quorvane_bench_reload \
  quorvane_bench_startup
mkdir -p build/bench/results
for name in dispatch reload startup; do
  echo "== $name"
  build/bench/bin/quorvane_bench_$name --benchmark_out=build/bench/results/$name.json \
    --benchmark_out_format=json "$@"
done
