#!/usr/bin/env bash
# CI: the whole test suite, the scripted sessions among it, under AddressSanitizer, UBSan and
# LeakSanitizer; the concurrency test under ThreadSanitizer; then valgrind memcheck over the
# sessions on the default build. The sanitizers' options are the test presets'.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh valgrind

echo "== asan: build"
cmake --preset asan >/dev/null
cmake --build --preset asan
echo "== asan: test suite"
ctest --preset asan

echo "== tsan: concurrency test"
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target quorvane_e2e_tests
ctest --preset tsan

echo "== valgrind: sessions"
scripts/valgrind.sh
