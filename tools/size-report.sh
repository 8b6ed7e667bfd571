#!/usr/bin/env bash
# Prints each program's size against its budget and its largest contributors (inputs
# and functions), from a built tree: build/ci unless another build directory is given.
# A report, not a gate: the test command runs it after the tests.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

build=${1:-build/ci}
if [ ! -d "$build/symbols" ]; then
  echo "size-report: $build has no built programs; build it first (cmake --build)" >&2
  exit 1
fi
python3 tools/size_report.py "$build"
