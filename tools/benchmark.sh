#!/usr/bin/env bash
# Builds the benchmark programs if needed and runs every one of them
# (build/release/tests/benchmarks/*.exe) in a fresh copy of the bench prefix,
# with an Xvfb screen (some show windows), printing their figures and then every
# ratio with its target together. A new
# benchmark only needs a kit_benchmark() line in tests/benchmarks/CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

build=build/release
[ -f "$build/CMakeCache.txt" ] || cmake --preset release
cmake --build --preset release -j2 --target benchmarks

base=$build/wine/base
[ -d "$base/drive_c" ] || testing/bench/make-prefix.sh "$base"

export KIT_BUILD_DIR="$PWD/$build" KIT_SOURCE_DIR="$PWD" KIT_OUTPUT_DIR="$PWD/$build/kit"
status=0
figures=$(mktemp)
trap 'rm -f "$figures"' EXIT
for exe in "$build"/tests/benchmarks/*.exe; do
  name=$(basename "$exe" .exe)
  echo "== $name"
  testing/bench/run-test.sh --base "$base" --work "$build/wine/benchmarks/$name" \
    --display -- "$PWD/$exe" | tee -a "$figures" || status=1
done
echo "== every ratio against its target"
grep -E "target <=|^\(|benchmark:" "$figures" | grep -v "^fastest" || true
exit "$status"
