#!/usr/bin/env bash
# Builds the operator's toolkit archives in one command: the Linux one first, then the Windows
# one when the MinGW-w64 cross compiler is installed (scripts/ci-windows.sh installs it).
# Only the shipped targets are built (the program, the host library and the plugin), never
# the tests. The archives land in build/<preset>/package/:
#   build/default/package/QuorvaneTools-VERSION-Linux-x86_64.tar.gz
#   build/mingw/package/QuorvaneTools-VERSION-Windows-x86_64.zip
set -euo pipefail
cd "$(dirname "$0")/.."
shipped=(devhost_program devhost_host Quorvane)

# pack PRESET GENERATOR: configures and builds PRESET's shipped targets, then packs them.
pack() {
  local preset=$1 generator=$2
  echo "== package: $preset: build" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target "${shipped[@]}" >&2
  echo "== package: $preset: pack" >&2
  local log=build/$preset/package-cpack.log
  if ! cpack --config "build/$preset/CPackConfig.cmake" -G "$generator" >"$log" 2>&1; then
    cat "$log" >&2
    echo "package: cpack failed for $preset" >&2
    exit 1
  fi
  # cpack names what it made: "CPack: - package: PATH generated."
  sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$log" | while read -r archive; do
    echo "$archive ($(stat -c %s "$archive") bytes)"
  done
}

scripts/deps.sh
pack default TGZ

missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=("the MinGW-w64 cross compiler (g++-mingw-w64-x86-64-posix)")
# The cross build's configuration builds GoogleTest from Debian's sources.
[[ -f /usr/src/googletest/googletest/src/gtest-all.cc ]] || missing+=("the GoogleTest sources (googletest)")
if [[ ${#missing[@]} -gt 0 ]]; then
  joined=$(printf '%s and ' "${missing[@]}")
  echo "Windows skipped: ${joined% and } not installed; scripts/ci-windows.sh installs what is missing"
  exit 0
fi
pack mingw ZIP
