#!/usr/bin/env bash
# The demo's sample medium tried as a distributor tries one: tools/try-medium.sh runs
# kitcheck (no error), installs it with setup.exe (the log is the one kitcheck
# predicted) and removes it with Halvex.exe (the Uninstall entry goes with it).
set -euo pipefail
export KIT_BUILD_DIR
medium=$KIT_WORK_DIR/medium
"$KIT_SOURCE_DIR/tools/sample-medium.sh" "$medium"
output=$("$KIT_SOURCE_DIR/tools/try-medium.sh" "$medium" --uninstall --out "$KIT_WORK_DIR/out" \
  --prefix "$WINEPREFIX")
printf '%s\n' "$output"
expect() { grep -qF -- "$1" <<<"$output" || { echo "missing from the output: $1"; exit 1; }; }
expect "결과: 오류 0개, 경고 0개"
expect "It is byte for byte the log kitcheck predicted."
expect "Halvex.exe ended with exit code 0"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\별빛 가계부 1.0:'
left=$(sed -n '/== What is left/,$p' <<<"$output" | grep -A1 -F -- "$key" | tail -n 1)
[ "$left" = "  (no such key)" ] || { echo "the Uninstall entry is still there: $left"; exit 1; }
for shot in background wizard-1-welcome progress wizard-4-complete halvex-done; do
  [ -f "$KIT_WORK_DIR/out/$shot.png" ] || { echo "no screenshot $shot.png"; exit 1; }
done
