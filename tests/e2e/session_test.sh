#!/usr/bin/env bash
# Plays a session script as text and as JSON. Fails unless the program exits 0 (the game
# allocator balanced, every line a session line) with no sanitizer report. The command may begin
# with a runner (Wine, for the cross build); QUORVANE_TEST_WRAPPER names a command to run it
# under, such as valgrind (the "valgrind" test preset), which must exit non-zero on an error.
# Usage: session_test.sh SERVER_DIR SCRIPT PROGRAM [ARG...]
set -euo pipefail
server=$1
script=$2
shift 2
read -r -a wrapper <<<"${QUORVANE_TEST_WRAPPER:-}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

for format in text --json; do
  arguments=(--server-dir "$server" --script "$script")
  [[ $format == text ]] || arguments+=("$format")
  status=0
  "${wrapper[@]}" "$@" "${arguments[@]}" >"$log" 2>&1 || status=$?
  if [[ $status -ne 0 ]] ||
     grep -q -E 'ERROR: (Address|Leak|Thread)Sanitizer|runtime error:' "$log"; then
    echo "session test: $script as $format: exit status $status:" >&2
    cat "$log" >&2
    exit 1
  fi
done
echo "session test: $script clean, as text and as JSON"
