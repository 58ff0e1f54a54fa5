#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, quietly and without a display:
#   scripts/wine-run.sh build/mingw/bin/devhost.exe --json ...
# The Wine prefix lives in the program's build folder (the folder above bin/) unless
# QUORVANE_WINEPREFIX names another. It is made on first use: no Mono or Gecko installer, no
# graphics driver, and no crash debugger, so a crashing program just exits with an error code.
set -euo pipefail

if [[ $# -eq 0 ]]; then
  echo "usage: $0 PROGRAM.exe [ARG...]" >&2
  exit 64
fi
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX=${QUORVANE_WINEPREFIX:-$(dirname "$program_dir")/wine}
export WINEDEBUG=-all
export WINEARCH=win64
export DISPLAY=
unset WAYLAND_DISPLAY
# The host library is "version.dll", which Wine also has built in: the one next to the program
# must win, as it does on Windows. winedbg off: an unhandled exception ends the program
# instead of waiting for a person.
export WINEDLLOVERRIDES="version=n,b;mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"

if [[ ! -f "$WINEPREFIX/.quorvane-ready" ]]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/.quorvane-ready" ]]; then
      wineboot --init >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
      wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
        >/dev/null 2>&1 || true
      wineserver --wait
      touch "$WINEPREFIX/.quorvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec wine "$@"
