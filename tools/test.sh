#!/usr/bin/env bash
# Installs what is missing, builds the kit and its tests for 32-bit Windows with
# every warning an error (the ci preset, build/ci), and runs every test
# executable under Wine, then prints the programs' size report. Extra arguments go to
# ctest (e.g. -R setup_program).
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

tools/install-deps.sh
cmake --preset ci
cmake --build --preset ci -j"$(nproc)"
status=0
ctest --preset ci "$@" || status=$?
tools/size-report.sh build/ci || true
exit "$status"
