#!/usr/bin/env bash
# Runs the program once and requires its standard output to be a golden file byte for byte, log
# times aside, and its exit status to be the expected one. The command may begin with a runner
# (Wine, for the cross build), so every build is held to the same files.
# Usage: golden_test.sh GOLDEN EXPECTED_STATUS PROGRAM [ARG...]
set -euo pipefail
golden=$1
expected_status=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
"$@" >"$work/out" 2>"$work/err" || status=$?
# The plugin's "MM/DD/YY HH:MM" and the host's "YYYY-MM-DD HH:MM:SS" before a logger's name.
plugin_time='[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}'
host_time='[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}'
LC_ALL=C sed -E "s#($plugin_time|$host_time) \\[#TIME [#g" "$work/out" >"$work/masked"
if ! cmp -s "$golden" "$work/masked" || [[ $status -ne $expected_status ]]; then
  echo "golden test: $(basename "$golden"): exit status $status (expected $expected_status);" \
    "output against the golden file:" >&2
  diff "$golden" "$work/masked" >&2 || true
  echo "standard error:" >&2
  cat "$work/err" >&2
  exit 1
fi
