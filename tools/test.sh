#!/usr/bin/env bash
# Installs what is missing, builds the kit and its tests for 32-bit Windows,
# and runs every test executable under Wine.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

tools/install-deps.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release "$@"
