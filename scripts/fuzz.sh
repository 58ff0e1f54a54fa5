#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for SECONDS (default 600) on the seed
# corpus in fuzz/corpus/, as the fuzz build's one test (`ctest --preset fuzz`, which holds its
# sanitizer options). New inputs go to build/fuzz/corpus/; a crashing input is written to
# build/fuzz/artifacts/ and the script fails: turn it into a regression test in tests/.
# Usage: scripts/fuzz.sh [SECONDS] [LIBFUZZER_OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
scripts/deps.sh clang-14 libclang-rt-14-dev
options=$(IFS=';' && echo "$*")
cmake --preset fuzz -DQUORVANE_FUZZ_SECONDS="$seconds" -DQUORVANE_FUZZ_OPTIONS="$options" >/dev/null
cmake --build --preset fuzz --target quorvane_fuzzer
ctest --preset fuzz
