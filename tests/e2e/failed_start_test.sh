#!/usr/bin/env bash
# Runs the program with --json on a server whose plugin cannot start, and requires what every
# platform shows: exit status 2, a start line that registered nothing, the exit line last,
# REASON in the output, and the plugin's failure logged once at most. Beyond that the platforms
# differ: on Windows the entry point logs the failure (unless the start did) and the loader then
# refuses the library. The command may begin with a runner (Wine, for the cross build).
# Usage: failed_start_test.sh REASON PROGRAM [ARG...]
set -euo pipefail
reason=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
"$@" >"$work/out" 2>"$work/err" || status=$?
fail() {
  echo "failed start test: $1 (exit status $status):" >&2
  cat "$work/out" "$work/err" >&2
  exit 1
}
[[ $status -eq 2 ]] || fail "the exit status is not 2"
grep -q '^{"event":"start","kind":"start","ok":false,.*"chat_commands":\[\],"console_commands":\[\]}$' \
  "$work/out" || fail "no start line that registered nothing"
[[ $(tail -n 1 "$work/out") == '{"event":"exit","kind":"exit","live_allocations":0}' ]] ||
  fail "the exit line is not last"
grep -q -F -- "$reason" "$work/out" || fail "\"$reason\" is not said"
[[ $(grep -c -F '[Quorvane][error]' "$work/out") -le 1 ]] ||
  fail "the plugin logged its failure more than once"
