#!/usr/bin/env bash
# Configures and builds the default (Linux) build into build/default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
