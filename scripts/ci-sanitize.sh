#!/usr/bin/env bash
# CI: the whole test suite and the scripted sessions under AddressSanitizer, UBSan and
# LeakSanitizer; the concurrency test under ThreadSanitizer; then valgrind memcheck over the
# sessions on the default build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh valgrind

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== asan: build"
cmake --preset asan >/dev/null
cmake --build --preset asan
echo "== asan: test suite"
ctest --preset asan
echo "== asan: sessions"
scripts/session-check.sh build/asan

echo "== tsan: concurrency test"
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
cmake --preset tsan >/dev/null
cmake --build --preset tsan --target quorvane_e2e_tests
ctest --preset tsan

echo "== valgrind: sessions"
scripts/valgrind.sh
