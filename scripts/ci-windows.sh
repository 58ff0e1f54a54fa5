#!/usr/bin/env bash
# The Windows build, on Linux: cross-builds Quorvane.dll, the development host (version.dll,
# devhost.exe) and the test programs with MinGW-w64, runs the tests under Wine, and checks that
# devhost.exe writes the Linux program's --json output byte for byte (log timestamps aside).
# The tests include release_package: the toolkit .zip, unpacked and run from a scratch server.
# Installs the cross compiler and Wine when they are missing. Uses build/mingw, and
# build/default for the Linux program it compares against.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { echo "== windows: $* ($((SECONDS - started))s)"; }

step "packages"
scripts/deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest

step "cross build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw

step "Linux program for comparison"
scripts/build.sh >/dev/null

# One Wine server for the whole run rather than one per program; stopped on the way out.
export WINEPREFIX=$PWD/build/mingw/wine
wine_run() { scripts/wine-run.sh "$@"; }
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
step "Wine prefix"
wine_run build/mingw/bin/devhost.exe --help >/dev/null
wineserver -p 30 >/dev/null 2>&1 || true

step "tests under Wine, the toolkit archive among them"
ctest --preset mingw

compare=build/mingw/compare
rm -rf "$compare"
mkdir -p "$compare"
# Log lines carry the local date and time; everything else must match exactly.
# The plugin writes "MM/DD/YY HH:MM", the host "YYYY-MM-DD HH:MM:SS".
mask() {
  sed -E 's#([0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}|[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}) \[#TIME [#g' "$1"
}
# Runs both programs with the same arguments; fails unless their outputs are identical.
compare_runs() {
  local name=$1
  shift
  local status=0
  build/default/bin/devhost --json "$@" >"$compare/$name.linux" || status=$?
  echo "$status" >"$compare/$name.linux.status"
  status=0
  wine_run build/mingw/bin/devhost.exe --json "$@" >"$compare/$name.windows" || status=$?
  echo "$status" >"$compare/$name.windows.status"
  if ! cmp -s <(mask "$compare/$name.linux") <(mask "$compare/$name.windows") ||
     ! cmp -s "$compare/$name.linux.status" "$compare/$name.windows.status"; then
    echo "windows: devhost.exe --json differs from the Linux program on $name:" >&2
    diff <(mask "$compare/$name.linux") <(mask "$compare/$name.windows") >&2 || true
    echo "exit status: Linux $(cat "$compare/$name.linux.status")," \
         "Windows $(cat "$compare/$name.windows.status")" >&2
    exit 1
  fi
  echo "$name: $(wc -l <"$compare/$name.windows") lines identical," \
       "exit status $(cat "$compare/$name.windows.status")"
}

step "--json output against the Linux program"
compare_runs example --server-dir examples/server --script examples/session.txt
compare_runs check --check --server-dir examples/mistakes

# Text the platforms treat differently: a CRLF file with a byte-order mark, replies outside
# ASCII and above U+FFFF, a reply that fails formatting, and log lines from a failed reload.
text=$compare/text-server
mkdir -p "$text/ArkApi/Plugins/Quorvane"
printf '%s\r\n' $'\xEF\xBB\xBF{' \
  '  "ChatCommands": [' \
  '    {"Command": "/cafe", "Type": "ServerChat", "Reply": "Café déjà vu – ½ price",' \
  '     "Color": [1, 0.25, 0, 1]},' \
  '    {"Command": "/greet", "Type": "ClientChat", "Reply": "Привет 你好 🐉 𝄞"},' \
  '    {"Command": "/boss", "Type": "Notification", "Reply": "Boss 🐉 at {{camp}}",' \
  '     "Color": [1, 1, 1, 1], "DisplayScale": 1.5, "DisplayTime": 7.25},' \
  '    {"Command": "/broken", "Type": "ClientChat", "Reply": "Oops {}"}' \
  '  ]' \
  '}' >"$text/ArkApi/Plugins/Quorvane/config.json"
printf '%s\r\n' 'alice: /cafe' 'bob: /greet' 'alice: /boss' 'alice: /broken' 'bob: /nothing' \
  'alice> Quorvane.Reload' >"$compare/text-session.txt"
compare_runs text --server-dir "$text" --script "$compare/text-session.txt"

# Without a file the start fails: the entry point returns FALSE instead of throwing through the
# loader, and the program reports it, logs the plugin's line once and exits with 2.
step "failed start"
rm "$text/ArkApi/Plugins/Quorvane/config.json"
status=0
wine_run build/mingw/bin/devhost.exe --json --server-dir "$text" --script examples/session.txt \
  >"$compare/failed.windows" || status=$?
if [[ $status -ne 2 ]] ||
   ! grep -q '^{"event":"start","ok":false,' "$compare/failed.windows" ||
   [[ $(grep -c "\[Quorvane\]\[error\] Can't open config.json" "$compare/failed.windows") -ne 1 ]] ||
   ! grep -q '^{"event":"exit",' "$compare/failed.windows"; then
  echo "windows: a failed start did not end cleanly (exit status $status):" >&2
  cat "$compare/failed.windows" >&2
  exit 1
fi
echo "failed start: reported, logged once, exit status 2"

# A bad third entry fails the start before any command is registered: the loader unloads the
# library, so a registered callback would be left pointing at unmapped code.
step "bad entry registers nothing"
printf '%s\n' '{"ChatCommands": [{"Command": "/a"}, {"Command": "/b"}, 7]}' \
  >"$text/ArkApi/Plugins/Quorvane/config.json"
status=0
wine_run build/mingw/bin/devhost.exe --json --server-dir "$text" --script examples/session.txt \
  >"$compare/bad-entry.windows" || status=$?
if [[ $status -ne 2 ]] ||
   ! grep -q '^{"event":"start","ok":false,.*"chat_commands":\[\],"console_commands":\[\]}$' \
     "$compare/bad-entry.windows" ||
   ! grep -q 'type_error.305\] cannot use operator\[\] with number' \
     "$compare/bad-entry.windows"; then
  echo "windows: a bad third entry left commands registered or did not fail (exit $status):" >&2
  cat "$compare/bad-entry.windows" >&2
  exit 1
fi
echo "bad entry: start failed with type_error 305, no command registered"

step "done"
