#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for SECONDS (default 600) on the seed
# corpus in fuzz/corpus/. New inputs go to build/fuzz/corpus/; a crashing input is written to
# build/fuzz/artifacts/ and the script fails: turn it into a regression test in tests/.
# Usage: scripts/fuzz.sh [SECONDS] [LIBFUZZER_OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
scripts/deps.sh clang-14 libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target quorvane_fuzzer
mkdir -p build/fuzz/corpus build/fuzz/artifacts
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build/fuzz/bin/quorvane_fuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=8192 -dict=fuzz/quorvane.dict -artifact_prefix=build/fuzz/artifacts/ \
  -print_final_stats=1 "$@" build/fuzz/corpus fuzz/corpus
