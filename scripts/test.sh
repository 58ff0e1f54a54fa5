#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
# The page test renders in Debian's Chromium; installed here rather than inside the timed test.
scripts/deps.sh chromium
ctest --preset default
