#!/usr/bin/env bash
# Packs the operator's toolkit with CPack and tries it as an operator would: unpacked into a
# server folder that already has its own (CRLF) config.json, checked with the unpacked program,
# and its starter files put in place with --init. Windows archives (.zip) run under Wine.
# Usage: package_test.sh BUILD_DIR EXPECTED_ARCHIVE_NAME [RUNNER]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
archive_name=$2
runner=(${3:+"$3"})
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package test: $*" >&2
  exit 1
}

if [[ $archive_name == *.zip ]]; then
  generator=ZIP exe=.exe host_lib=version.dll plugin=Quorvane.dll
  extra_files=(libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  # Under Wine: reuse the build's prefix instead of making one in the scratch folder.
  export QUORVANE_WINEPREFIX=$build_dir/wine
else
  generator=TGZ exe='' host_lib=libdevhost.so plugin=Quorvane.so extra_files=()
fi
version=${archive_name#QuorvaneTools-}
version=${version%%-*}

# Packs what is built: the build is the build step's job, so packing builds nothing (see
# cmake/Packaging.cmake).
cpack --config "$build_dir/CPackConfig.cmake" -G "$generator" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
archive="$work/out/$archive_name"
[[ -f $archive ]] || fail "no $archive_name; cpack made: $(ls "$work/out")"

# Everything in one folder of its own: nothing under a top-level ArkApi/, no host library beside
# a game, and one README.md, the operator's.
expected=$(printf '%s\n' CHANGELOG.md README.md "devhost$exe" docs/check-page.png examples/config.json \
  examples/config.schema.json examples/session.txt examples/mistakes/ArkApi/Plugins/Quorvane/config.json \
  examples/reload/old.json examples/reload/server/ArkApi/Plugins/Quorvane/config.json \
  "$host_lib" "$plugin" "${extra_files[@]}" |
  sed 's|^|QuorvaneTools/|' | sort)
actual=$(cd "$work" && cmake -E tar tf "$archive" | sed 's|^\./||' | grep -v '/$' | sort)
[[ $actual == "$expected" ]] ||
  fail "archive contents differ:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"

# A server with its own configuration, written on Windows (CRLF); unpacking leaves it alone.
server=$work/server
config=$server/ArkApi/Plugins/Quorvane/config.json
mkdir -p "$(dirname "$config")"
sed 's/$/\r/' "$source_dir/examples/server/ArkApi/Plugins/Quorvane/config.json" >"$config"
cp "$config" "$work/config.before"
(cd "$server" && cmake -E tar xf "$archive")
cmp -s "$config" "$work/config.before" || fail "unpacking changed the server's config.json"
tools=$server/QuorvaneTools
for binary in "$tools/devhost$exe" "$tools/$host_lib" "$tools/$plugin"; do
  if objdump -h "$binary" | grep -q ' \.debug' || ! objdump -t "$binary" | grep -q 'no symbols'; then
    fail "$(basename "$binary") is not stripped"
  fi
done

# The plugin and the host library are built on the host's library releases alone: no system
# spdlog or fmt linked, and no symbol of Debian's fmt 9 or json 3.11 in the plugin.
if [[ $generator == TGZ ]]; then
  for binary in "$tools/$host_lib" "$tools/$plugin"; do
    if readelf -d "$binary" | grep -Eq 'NEEDED.*lib(spdlog|fmt)'; then
      fail "$(basename "$binary") links a system spdlog or fmt"
    fi
  done
  if nm -C "$build_dir/bin/$plugin" | grep -Eq 'fmt::v[0-9]+::|json_abi_v3_11'; then
    fail "$plugin holds code of Debian's fmt or json"
  fi
fi

# run DIR PROGRAM ARG...: runs an unpacked program from DIR; its exit status is in $status.
run() {
  local dir=$1
  shift
  status=0
  (cd "$dir" && exec env -u LD_LIBRARY_PATH "${runner[@]}" "$@") >"$work/out.txt" \
    2>"$work/err.txt" || status=$?
}
expect_status() {
  [[ $status -eq $1 ]] ||
    fail "$2: exit status $status, expected $1:"$'\n'"$(cat "$work/out.txt" "$work/err.txt")"
}

run "$work" "$tools/devhost$exe" --version
expect_status 0 "--version"
[[ $(tr -d '\r' <"$work/out.txt") == "devhost $version" ]] ||
  fail "--version printed '$(cat "$work/out.txt")', expected 'devhost $version'"

# From the server folder, and from elsewhere on a folder of mistakes.
run "$server" "QuorvaneTools/devhost$exe" --check --server-dir .
expect_status 0 "--check on a good configuration"
grep -q '^3 commands: 3 send a message; no warnings\.$' "$work/out.txt" ||
  fail "unexpected --check report:"$'\n'"$(cat "$work/out.txt")"
mkdir -p "$work/mistakes"
cp -r "$source_dir/examples/mistakes/ArkApi" "$work/mistakes/"
run "$work" "server/QuorvaneTools/devhost$exe" --check --server-dir mistakes
expect_status 1 "--check on examples/mistakes"

# --init keeps the operator's config.json and adds the missing schema.
run "$server" "QuorvaneTools/devhost$exe" --init --server-dir .
expect_status 0 "--init"
cmp -s "$config" "$work/config.before" || fail "--init changed the server's config.json"
cmp -s "$(dirname "$config")/config.schema.json" "$tools/examples/config.schema.json" ||
  fail "--init did not copy config.schema.json"
if ! grep -q '^kept .*config\.json' "$work/out.txt" ||
   ! grep -q '^copied .*config\.schema\.json' "$work/out.txt"; then
  fail "--init did not say what it did:"$'\n'"$(cat "$work/out.txt")"
fi

# Without its own plugin build the program refuses, and never takes the server's.
cp "$tools/$plugin" "$(dirname "$config")/"
rm "$tools/$plugin"
run "$server" "QuorvaneTools/devhost$exe" --check --server-dir .
expect_status 2 "--check without a plugin build beside the program"
grep -q 'no plugin build next to this program' "$work/err.txt" ||
  fail "no clear error without a plugin build:"$'\n'"$(cat "$work/err.txt")"

# The operator's README shows this platform's commands. On Linux, every command of its
# "```console tested" blocks runs, in order, in a new server folder (an empty ArkApi/ and the
# unpacked toolkit) and prints what the README shows after it, the folder's path and log times
# masked.
readme=$(tr -d '\r' <"$tools/README.md")
if [[ $generator == ZIP ]]; then
  [[ $readme == *'QuorvaneTools\devhost.exe --check --server-dir .'* && $readme != *QuorvaneTools/devhost* ]] ||
    fail "README.md does not show Windows commands"
else
  fresh=$work/fresh
  mkdir -p "$fresh/ArkApi"
  (cd "$fresh" && cmake -E tar xf "$archive")
  transcripts=$(awk '/^```console tested$/ { shown = 1; next } /^```$/ { shown = 0 } shown' <<<"$readme")
  [[ $transcripts == *'$ '* ]] || fail "README.md shows no tested commands"
  ran=$(
    cd "$fresh"
    unset LD_LIBRARY_PATH
    status=0
    while IFS= read -r line; do
      [[ $line == '$ '* ]] || continue
      printf '%s\n' "$line"
      # "(exit N)" first, so that "echo $?" shows the status of the command before it.
      eval "(exit $status); ${line#\$ }" </dev/null 2>&1 && status=0 || status=$?
    done <<<"$transcripts"
  )
  mask() { sed -e "s|$fresh|/srv/ark|g" -e 's/^[0-9]\{4\}-[0-9-]* [0-9:]* /TIME /'; }
  [[ $(mask <<<"$ran") == "$(mask <<<"$transcripts")" ]] ||
    fail "README.md's commands print otherwise:"$'\n'"$(diff <(mask <<<"$transcripts") <(mask <<<"$ran"))"
fi

echo "package test: $archive_name unpacks into QuorvaneTools/ only, and its devhost works from there"
