#!/usr/bin/env bash
# valgrind memcheck over the development host program playing the example and hardening
# sessions on the default build: any memory error, or any block lost, fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh valgrind
scripts/build.sh >/dev/null
scripts/session-check.sh build/default \
  valgrind --quiet --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible
