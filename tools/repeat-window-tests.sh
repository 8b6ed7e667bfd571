#!/usr/bin/env bash
# tools/repeat-window-tests.sh [N]
# Runs every test that drives windows (the ctest entries labelled "window": those run
# with an Xvfb screen, try_medium_test and try_medium_win64_test) N times (default 20)
# while a parallel build keeps both cores busy, and prints how many runs of each
# passed. None of them may depend on timing: the figure to reach is N of N.
# It builds the ci preset first (build/ci); the load is a throwaway build tree of the
# project (build/repeat-load) built with -j2 from scratch again and again. Each run's
# ctest output is kept in build/ci/repeat/. Exit code 0 when every run passed.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

runs=${1:-20}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "usage: tools/repeat-window-tests.sh [N]" >&2; exit 2; }

tools/install-deps.sh
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$(nproc)" >/dev/null
results=build/ci/repeat
rm -rf "$results"
mkdir -p "$results"

load=build/repeat-load
cmake --preset release -B "$load" >/dev/null
load_pid=""
stop_load() {
  if [ -n "$load_pid" ]; then
    kill -- "-$load_pid" 2>/dev/null || true
    wait "$load_pid" 2>/dev/null || true
  fi
  rm -rf "$load"
}
trap stop_load EXIT
set -m  # the load gets a process group of its own, ended as a whole
(while :; do cmake --build "$load" --clean-first -j2 >/dev/null 2>&1 || true; done) &
load_pid=$!
set +m

declare -A passed=()
tests=()
for run in $(seq "$runs"); do
  log=$results/run-$run.log
  ctest --preset ci -L window >"$log" 2>&1 || true
  cp build/ci/Testing/Temporary/LastTest.log "$results/run-$run.full.log" 2>/dev/null || true
  # "  3/15 Test #10: ui_test ......   Passed   10.87 sec" (fixtures left out)
  while read -r name outcome; do
    case "$name" in bench_prefix*|bench_stop) continue ;; esac
    [ -n "${passed[$name]+set}" ] || { tests+=("$name"); passed[$name]=0; }
    if [ "$outcome" = Passed ]; then passed[$name]=$((passed[$name] + 1)); fi
  done < <(sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([A-Za-z0-9_]+) \.+ *(\*\*\*)?([A-Za-z]+).*/\1 \3/p' "$log")
  echo "run $run of $runs: $(grep -E 'tests passed' "$log" || echo 'ctest did not finish')"
done

echo
echo "Runs passed of $runs, under load (a -j2 build of the project meanwhile):"
status=0
for name in "${tests[@]}"; do
  printf '  %-30s %2d of %d\n' "$name" "${passed[$name]}" "$runs"
  [ "${passed[$name]}" = "$runs" ] || status=1
done
[ ${#tests[@]} -gt 0 ] || { echo "  no test ran"; status=1; }
exit "$status"
