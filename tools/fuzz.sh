#!/usr/bin/env bash
# Builds the native fuzz targets of tests/fuzz with Debian's clang (32-bit, like the
# programs, with address and undefined-behaviour checks) and runs each for
# SECONDS_PER_TARGET seconds (default 60). Fails on any crash, hang (2 s per input)
# or sanitizer report; the inputs that caused one are left in build/fuzz/artifacts,
# to be kept in tests/fuzz/regressions/<target>/ once the fault is mended.
# Not part of CI: CI replays the seeds and regression inputs through the same
# parsers built for Windows (fuzz_replay_test).
#
#   tools/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

seconds="${1:-60}"
targets=(install_log comma_fields entry_names archive_blocks)
out=build/fuzz

packages=(clang-14 libclang-rt-14-dev g++-multilib)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

mkdir -p "$out/artifacts"
parsers=(src/shared/install_log_text.cpp src/shared/full_path_rules.cpp src/shared/text.cpp
         src/setup/comma_field.cpp tools/unrar_standin/archive_blocks.cpp
         tools/unrar_standin/crc32.cpp tools/unrar_standin/unicode_name.cpp
         tests/fuzz/fuzz_entries.cpp)
flags=(-std=c++17 -g -O1 -m32 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -Isrc -Itools -Itests/fuzz)

# The archive writer's seeds, made natively (the same bytes every time).
g++ -std=c++17 -O1 -Isrc tests/fuzz/seed_archives.cpp src/rar_writer/rar_blocks.cpp \
    src/rar_writer/rar_stream_writer.cpp src/rar_writer/rar_writer.cpp -o "$out/seed_archives"
"$out/seed_archives" tests/fuzz/corpus/archive_blocks

status=0
report=()
for target in "${targets[@]}"; do
  echo "== $target"
  clang++-14 "${flags[@]}" "${parsers[@]}" "tests/fuzz/targets/$target.cpp" -o "$out/$target"
  work="$out/corpus/$target"
  mkdir -p "$work"
  seeds=("tests/fuzz/corpus/$target" "tests/fuzz/regressions/$target")
  [ "$target" = archive_blocks ] && seeds+=(tests/fixtures/rar)
  log="$out/$target.log"
  if "$out/$target" "$work" "${seeds[@]}" -max_total_time="$seconds" -timeout=2 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" \
       >"$log" 2>&1; then
    result="no fault"
  else
    result="FAULT (see $log and $out/artifacts)"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  report+=("$(printf '%-15s %12s executions  %s' "$target" "$runs" "$result")")
done

echo
printf '%s\n' "${report[@]}"
exit "$status"
