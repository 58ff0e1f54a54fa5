#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# Usage: scripts/deps.sh [EXTRA_PACKAGE...]
# The plugin and the host library are built on the host's own releases of spdlog and json, which
# CMake fetches (cmake/HostLibraries.cmake); Debian's fmt and json serve the tools only.
# Large packages that only some steps need are asked for by those steps (scripts/test.sh:
# chromium for the page test), so a plain build does not wait for them.
set -euo pipefail

packages=(
  build-essential cmake ccache
  nlohmann-json3-dev libfmt-dev libcli11-dev libutfcpp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libedit-dev python3-jsonschema tmux
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "deps: installing ${missing[*]}" >&2
if [[ $(id -u) -ne 0 ]]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
if ! { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >/tmp/quorvane-deps.log 2>&1; then
  echo "deps: could not install ${missing[*]} with apt-get; see /tmp/quorvane-deps.log:" >&2
  tail -n 20 /tmp/quorvane-deps.log >&2
  exit 1
fi
