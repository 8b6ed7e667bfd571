#!/usr/bin/env bash
# The bench helpers seen from outside: a value a program wrote in CP949 reads
# back as UTF-8 through reg-query.sh.
set -euo pipefail
test_exe=$1
bench=$KIT_BENCH_DIR

wine "$test_exe" --gtest_filter='Bench.Cp949TextRoundTripsThroughRegistry'

value=$("$bench/reg-query.sh" "$WINEPREFIX" 'HKCU\Software\KitBench' '제목')
[ "$value" = "설치 마법사" ] || { echo "reg-query.sh gave '$value'"; exit 1; }
if "$bench/reg-query.sh" "$WINEPREFIX" 'HKCU\Software\KitBench' 'missing' >/dev/null; then
  echo "reg-query.sh found a value that does not exist"; exit 1
fi
"$bench/reg-query.sh" "$WINEPREFIX" 'HKCU\Software\KitBench' | grep -q '제목' \
  || { echo "key listing lacks the value"; exit 1; }

echo "bench scripts: ok"
