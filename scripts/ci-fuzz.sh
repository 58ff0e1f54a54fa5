#!/usr/bin/env bash
# CI: the fuzz target for a bounded time.
set -euo pipefail
exec "$(dirname "$0")/fuzz.sh" 60
