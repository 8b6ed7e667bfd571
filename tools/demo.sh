#!/usr/bin/env bash
# The kit's main job: installs what is missing, builds the kit and shows what was built.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

tools/install-deps.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"

echo
echo "The kit is in build/release/kit:"
ls -l build/release/kit 2>/dev/null || echo "  (no programs yet)"
