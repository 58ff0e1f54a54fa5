#!/usr/bin/env bash
# The main job: builds, then runs the development host on the example server folder with the
# example session. Extra arguments go to the program (e.g. --json); with --interactive the
# session is read from the terminal instead. The build shows its progress on standard error,
# so standard output holds the session alone.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "run.sh: building first; the first build takes several minutes, later ones seconds" >&2
scripts/build.sh >&2
args=(--server-dir examples/server)
if [[ "${1:-}" == "--interactive" ]]; then
  shift
else
  args+=(--script examples/session.txt)
fi
exec build/default/bin/devhost "${args[@]}" "$@"
