#!/usr/bin/env bash
# Builds the release archive with CPack, checks that it holds exactly the release layout, and
# runs the packed devhost --check on the unpacked archive as if it were a server folder.
# Usage: package_test.sh BUILD_DIR EXPECTED_ARCHIVE_NAME
set -euo pipefail
build_dir=$1
archive_name=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package test: $*" >&2
  exit 1
}

# Packs what is built: the build is the build step's job, so packing builds nothing (see
# cmake/Packaging.cmake).
cpack --config "$build_dir/CPackConfig.cmake" -G TGZ -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
archive="$work/out/$archive_name"
[[ -f $archive ]] || fail "no $archive_name; cpack made: $(ls "$work/out")"

expected=$(printf '%s\n' \
  ArkApi/Plugins/Quorvane/Quorvane.so \
  ArkApi/Plugins/Quorvane/config.json \
  ArkApi/Plugins/Quorvane/config.schema.json \
  devhost/README.md \
  devhost/bin/devhost \
  devhost/lib/libdevhost.so)
actual=$(tar -tzf "$archive" | sed 's|^\./||' | grep -v '/$' | sort)
[[ $actual == "$expected" ]] ||
  fail "archive contents differ:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"

# The starter configuration is the example one, byte for byte.
mkdir "$work/server"
tar -xzf "$archive" -C "$work/server"
cmp -s "$work/server/ArkApi/Plugins/Quorvane/config.json" \
  "$(dirname "$0")/../../examples/server/ArkApi/Plugins/Quorvane/config.json" ||
  fail "the packed config.json is not the starter configuration"

# Unpacked elsewhere, the program finds its library through its run path and the plugin in the
# server folder.
(cd "$work" && env -u LD_LIBRARY_PATH server/devhost/bin/devhost --check --server-dir server \
  >"$work/check.txt") || { cat "$work/check.txt" >&2; fail "devhost --check failed from the package"; }
grep -q '^3 commands: 3 send a message; no warnings\.$' "$work/check.txt" ||
  { cat "$work/check.txt" >&2; fail "unexpected --check report"; }
echo "package test: $archive_name holds the release layout and its devhost checks it"
