#!/usr/bin/env bash
# valgrind memcheck over the development host program playing the example and hardening
# sessions on the default build (the session tests, through the "valgrind" test preset): any
# memory error, or any block lost, fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh valgrind
scripts/build.sh >/dev/null
ctest --preset valgrind
