#!/usr/bin/env bash
# The Windows build, on Linux: cross-builds Quorvane.dll, the development host (version.dll,
# devhost.exe) and the test programs with MinGW-w64 and runs the whole test suite under Wine.
# That suite holds devhost.exe to the same golden files as the Linux program, and includes
# release_package: the toolkit .zip, unpacked and run from a scratch server. Installs the cross
# compiler and Wine when they are missing. Uses build/mingw.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { echo "== windows: $* ($((SECONDS - started))s)"; }

step "packages"
scripts/deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest

step "cross build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw

# One Wine server for the whole run rather than one per program; stopped on the way out.
export WINEPREFIX=$PWD/build/mingw/wine
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
step "Wine prefix"
scripts/wine-run.sh build/mingw/bin/devhost.exe --help >/dev/null
wineserver -p 30 >/dev/null 2>&1 || true

step "tests under Wine"
ctest --preset mingw

step "done"
