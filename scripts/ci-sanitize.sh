#!/usr/bin/env bash
# CI: the whole test suite, the scripted sessions among it, under AddressSanitizer, UBSan and
# LeakSanitizer; the concurrency test under ThreadSanitizer; then valgrind memcheck over the
# sessions on the default build. The sanitizers' options are the test presets'. LeakSanitizer
# there counts no thread-local storage as a root (use_tls=0): it otherwise reads the dynamic TLS
# of a plugin the host has unloaded, and crashes at exit, depending on what reused that memory.
# Without TLS roots the leak check is only stricter.
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
