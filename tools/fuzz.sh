#!/usr/bin/env bash
# Builds the native fuzz targets of tests/fuzz with Debian's clang (32-bit, like the
# programs, with address and undefined-behaviour checks) and runs each for
# SECONDS_PER_TARGET seconds (default 60). Fails on any crash, hang (2 s per input)
# or sanitizer report; the inputs that caused one are left in build/fuzz/artifacts,
# to be kept in tests/fuzz/regressions/<target>/ once the fault is mended. New
# inputs go to build/fuzz/corpus/<target>; the committed seeds stay as they are.
#
#   tools/fuzz.sh [SECONDS_PER_TARGET] [--coverage] [--replay] [TARGET...]
#
#   --coverage  afterwards, each target's line coverage of the files it reads with
#               (what it has found so far: its seeds and build/fuzz/corpus)
#   --replay    no fuzzing: every seed and regression input once through every
#               target (tools/test.sh runs this)
#
# Targets that read through the platform's functions run on a model of them
# (tests/fuzz/platform, tests/fuzz/model): the programs' own sources, built natively
# against a modelled machine. model_replay_test checks the model against Windows'
# functions under Wine.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."

seconds=60 coverage=0 replay=0 chosen=()
for argument in "$@"; do
  case "$argument" in
    --coverage) coverage=1 ;;
    --replay) replay=1 ;;
    [0-9]*) seconds=$argument ;;
    -*) echo "tools/fuzz.sh: unknown option $argument" >&2; exit 2 ;;
    *) chosen+=("$argument") ;;
  esac
done

out=build/fuzz
packages=(clang-14 llvm-14 libclang-rt-14-dev g++-multilib)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Each target: the sources it is built from (besides tests/fuzz/targets/<target>.cpp),
# and after "|" the files whose line coverage counts.
pure=(tests/fuzz/fuzz_entries.cpp src/contracts/install_log_text.cpp src/text/full_path_rules.cpp
      src/text/text.cpp
      src/setup/comma_field.cpp tools/unrar_standin/archive_blocks.cpp
      tools/unrar_standin/crc32.cpp tools/unrar_standin/unicode_name.cpp
      tests/fuzz/archive_fixup.cpp)
platform=(tests/fuzz/platform/machine.cpp tests/fuzz/platform/win32.cpp
          tests/fuzz/model/code_pages.cpp tests/fuzz/model/profile.cpp)
standin=(tools/unrar_standin/archive_blocks.cpp tools/unrar_standin/archive_reader.cpp
         tools/unrar_standin/archive_session.cpp tools/unrar_standin/code_pages.cpp
         tools/unrar_standin/crc32.cpp tools/unrar_standin/entry_extractor.cpp
         tools/unrar_standin/exports.cpp tools/unrar_standin/extraction_hold.cpp
         tools/unrar_standin/unicode_name.cpp tools/unrar_standin/volume_names.cpp)
declare -A build readers
build[install_log]="${pure[*]}"
readers[install_log]="src/contracts/install_log_text.cpp"
build[comma_fields]="${pure[*]}"
readers[comma_fields]="src/setup/comma_field.cpp"
build[entry_names]="${pure[*]}"
readers[entry_names]="src/rar/entry_name_rules.h"
build[archive_blocks]="${pure[*]}"
readers[archive_blocks]="tools/unrar_standin/archive_blocks.cpp tools/unrar_standin/unicode_name.cpp"
build[rar_component]="${platform[*]} ${standin[*]} tests/fuzz/archive_fixup.cpp
  src/rar/rar_component.cpp src/rar/sorted_string_list.cpp src/win/file_system.cpp
  src/text/text.cpp src/rar/entry_name.cpp src/win/long_path.cpp src/win/directories.cpp
  src/text/full_path_rules.cpp src/win/code_page_text.cpp"
readers[rar_component]="src/rar/rar_component.cpp tools/unrar_standin/archive_session.cpp
  tools/unrar_standin/archive_reader.cpp tools/unrar_standin/entry_extractor.cpp
  tools/unrar_standin/volume_names.cpp"
build[path_macros]="${platform[*]} src/setup/path_macros.cpp src/text/text.cpp
  src/win/directories.cpp"
readers[path_macros]="src/setup/path_macros.cpp"
build[date_rule]="${platform[*]} src/setup/date_settings.cpp"
readers[date_rule]="src/setup/date_settings.cpp"
build[kitcheck_script]="${platform[*]} src/kitcheck/script_encoding.cpp src/kitcheck/script_keys.cpp
  src/kitcheck/script_file.cpp src/setup/install_settings.cpp src/setup/comma_field.cpp
  src/win/module_path.cpp src/win/code_page_text.cpp src/text/text.cpp"
readers[kitcheck_script]="src/kitcheck/script_encoding.cpp src/kitcheck/script_keys.cpp
  src/kitcheck/script_file.cpp src/setup/install_settings.cpp"
build[uninstall_log]="${platform[*]} src/contracts/install_log_text.cpp src/text/full_path_rules.cpp
  src/text/text.cpp src/win/long_path.cpp src/win/code_page_text.cpp
  src/win/file_system.cpp src/win/registry.cpp src/uninstaller/removal_passes.cpp
  src/uninstaller/registry_tree.cpp src/uninstaller/uninstall_key_guard.cpp"
readers[uninstall_log]="src/contracts/install_log_text.cpp src/text/full_path_rules.cpp
  src/uninstaller/removal_passes.cpp src/uninstaller/registry_tree.cpp
  src/uninstaller/uninstall_key_guard.cpp"
targets=(install_log comma_fields entry_names archive_blocks rar_component path_macros date_rule
         kitcheck_script uninstall_log)
[ ${#chosen[@]} -gt 0 ] && targets=("${chosen[@]}")

mkdir -p "$out/artifacts" "$out/gen"
python3 tests/fuzz/model/make_cp949_table.py "$out/gen/cp949_table.inc"
includes=(-Itests/fuzz/platform -Itests/fuzz/model -Itests/fuzz -Isrc -Itools -I"$out/gen")
flags=(-std=c++17 -g -O1 -m32 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       "${includes[@]}")

# The archive writer's seeds, made natively (the same bytes every time).
g++ -std=c++17 -O1 -Isrc tests/fuzz/seed_archives.cpp src/rar_writer/rar_blocks.cpp \
    src/rar_writer/rar_stream_writer.cpp src/rar_writer/rar_writer.cpp -o "$out/seed_archives"
mkdir -p tests/fuzz/corpus/rar_component
"$out/seed_archives" tests/fuzz/corpus

status=0
report=()
for target in "${targets[@]}"; do
  [ -n "${build[$target]:-}" ] || { echo "tools/fuzz.sh: no target $target" >&2; exit 2; }
  echo "== $target"
  # shellcheck disable=SC2086
  clang++-14 "${flags[@]}" ${build[$target]} "tests/fuzz/targets/$target.cpp" -o "$out/$target"
  work="$out/corpus/$target"
  mkdir -p "$work" "tests/fuzz/regressions/$target"
  seeds=("tests/fuzz/corpus/$target" "tests/fuzz/regressions/$target")
  [ "$target" = archive_blocks ] && seeds+=(tests/fixtures/rar)
  log="$out/$target.log"
  if [ "$replay" = 1 ]; then
    runs=(-runs=0)
    dirs=("${seeds[@]}")
  else
    runs=(-max_total_time="$seconds")
    dirs=("$work" "${seeds[@]}")
  fi
  if "$out/$target" "${dirs[@]}" "${runs[@]}" -timeout=2 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" >"$log" 2>&1; then
    result="no fault"
  else
    result="FAULT (see $log and $out/artifacts)"
    status=1
  fi
  executed=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  line=$(printf '%-15s %12s executions  %s' "$target" "$executed" "$result")

  if [ "$coverage" = 1 ]; then
    # shellcheck disable=SC2086
    clang++-14 -std=c++17 -g -O1 -m32 -fsanitize=fuzzer -fprofile-instr-generate \
      -fcoverage-mapping "${includes[@]}" ${build[$target]} "tests/fuzz/targets/$target.cpp" \
      -o "$out/$target-coverage"
    rm -f "$out/$target.profraw"
    LLVM_PROFILE_FILE="$out/$target.profraw" "$out/$target-coverage" "$work" "${seeds[@]}" \
      -runs=0 >/dev/null 2>&1 || true
    llvm-profdata-14 merge -sparse "$out/$target.profraw" -o "$out/$target.profdata"
    # shellcheck disable=SC2086
    lines=$(llvm-cov-14 report "$out/$target-coverage" -instr-profile="$out/$target.profdata" \
              ${readers[$target]} | awk '$1 == "TOTAL" {
                printf "%.1f %% of %d lines", 100 * ($8 - $9) / ($8 ? $8 : 1), $8 }')
    line+="  coverage $lines ($(echo ${readers[$target]} | sed 's|[^ ]*/||g'))"
  fi
  report+=("$line")
done

echo
printf '%s\n' "${report[@]}"
exit "$status"
