#!/usr/bin/env bash
# Runs the development host program on the example session and on the hardening session
# (every reply kind, every failure a player can cause, reloads), optionally under a wrapper
# such as valgrind. Fails if the program does not exit 0 (balanced game allocator), or if
# any "=="-prefixed sanitizer or valgrind report appears.
# Usage: scripts/session-check.sh BUILD_DIR [WRAPPER...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$1
shift
program=$build_dir/bin/devhost
log=$(mktemp)
trap 'rm -f "$log"' EXIT

run() {
  local server=$1 script=$2
  shift 2
  for format in "" --json; do
    if ! "$@" "$program" --server-dir "$server" --script "$script" $format >"$log" 2>&1; then
      echo "session-check: $server with $script ${format:-(text)} failed:" >&2
      tail -n 60 "$log" >&2
      return 1
    fi
    if grep -q -E 'ERROR: (Address|Leak|Thread)Sanitizer|runtime error:' "$log"; then
      echo "session-check: report in $server with $script ${format:-(text)}:" >&2
      cat "$log" >&2
      return 1
    fi
  done
  echo "session-check: $script clean"
}

run examples/server examples/session.txt "$@"
run scripts/hardening/server scripts/hardening/session.txt "$@"
