#!/usr/bin/env bash
# The demo's sample medium tried as a distributor tries one: tools/try-medium.sh runs
# kitcheck (no error), installs it with setup.exe (the log is the one kitcheck
# predicted, the library in the system directory, the registry values, the Apps &
# features entry, the shortcuts in the machine's common folders) and removes it with
# Halvex.exe and the restart that follows: the script asks for UNINSTALLALL, so no
# file, directory, shortcut or key of the product is left.
#   try_medium_test.sh [win64]   win64: the prefix is 64-bit Windows, where the kit's
#                                32-bit programs run under WoW64
set -euo pipefail
export KIT_BUILD_DIR
arch=${1:-win32}
[ "$WINEARCH" = "$arch" ] || { echo "the prefix is $WINEARCH, not $arch"; exit 1; }
medium=$KIT_WORK_DIR/medium
"$KIT_SOURCE_DIR/tools/sample-medium.sh" "$medium"
output=$("$KIT_SOURCE_DIR/tools/try-medium.sh" "$medium" --uninstall --out "$KIT_WORK_DIR/out" \
  --prefix "$WINEPREFIX")
printf '%s\n' "$output"
installed=$(sed -n '/== What was installed/,/== Removing it/p' <<<"$output")
left=$(sed -n '/== What is left/,$p' <<<"$output")
expect() { grep -qF -- "$2" <<<"$1" || { echo "missing from the output: $2"; exit 1; }; }
# The line after a heading of the output.
after() { grep -A1 -F -- "$2" <<<"$1" | sed -n 2p; }

expect "$output" "결과: 오류 0개, 경고 3개"
expect "$output" "경고: setup.exe: 서명되지 않음"
expect "$installed" "It is byte for byte the log kitcheck predicted."
# <PROGRAMFILES>: the Program Files folder of a 32-bit program.
app='C:\Program Files\Korvane\별빛 가계부'
[ "$arch" = win64 ] && app='C:\Program Files (x86)\Korvane\별빛 가계부'
system32='C:\windows\system32'
[ "$arch" = win64 ] && system32='C:\windows\syswow64'
[ "$(after "$installed" "32-bit system directory $system32:")" = "  UNRAR.DLL, the medium's" ] ||
  { echo "UNRAR.DLL is not in $system32"; exit 1; }
key='HKLM\Software\Korvane\별빛 가계부\1.0:'
expect "$(grep -A2 -F -- "$key" <<<"$installed")" "InstallDir    REG_SZ    $app"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\별빛 가계부 1.0:'
listing=$(grep -A8 -F -- "$entry" <<<"$installed")
expect "$listing" "DisplayName    REG_SZ    별빛 가계부 1.0"
expect "$listing" "UninstallString    REG_SZ    \"$app\\HALVEX.EXE\""
for target in BYEOLBIT.EXE HALVEX.EXE DORCEL.EXE; do
  expect "$installed" "-> $app\\$target  (in $app)"
done
[ "$(grep -c -F -- "-> $app\\BYEOLBIT.EXE" <<<"$installed")" = 2 ] ||
  { echo "not two shortcuts to the program"; exit 1; }
# Every shortcut lies in the machine's folders, the group in its common Programs.
folder() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v "$1" | iconv -f CP949 -t UTF-8 | tr -d '\r' | sed -n 's/^.*REG_SZ *//p'
}
programs=$(folder 'Common Programs')
desktop=$(folder 'Common Desktop')
[ -n "$programs" ] && [ -n "$desktop" ] || { echo "no common shell folders"; exit 1; }
for link in "별빛 가계부.LNK" "별빛 가계부 제거.LNK" "환경설정.LNK"; do
  expect "$installed" "$programs\\별빛 가계부 1.0\\$link"
done
expect "$installed" "$desktop\\별빛 가계부.LNK"

expect "$output" "Halvex.exe ended with exit code 0"
[ "$(after "$left" "$entry")" = "  (no such key)" ] ||
  { echo "the Uninstall entry is still there: $(after "$left" "$entry")"; exit 1; }
[ "$(grep -c '\.LNK: gone$' <<<"$left")" = 4 ] || { echo "a shortcut is left"; exit 1; }
# After the restart nothing of the product remains: its directory and the parent
# setup made, the product key and its parents.
expect "$output" "Restarting Windows (wineboot -r)"
for dir in "$app" "${app%\\*}"; do
  [ "$(after "$left" "$dir:")" = "  (no such directory)" ] ||
    { echo "$dir is left: $(after "$left" "$dir:")"; exit 1; }
done
for key in 'HKLM\Software\Korvane\별빛 가계부\1.0:' 'HKLM\Software\Korvane\별빛 가계부:' \
           'HKLM\Software\Korvane:'; do
  [ "$(after "$left" "$key")" = "  (no such key)" ] || { echo "$key is left"; exit 1; }
done
for shot in background wizard-1-welcome progress wizard-4-complete halvex-done; do
  [ -f "$KIT_WORK_DIR/out/$shot.png" ] || { echo "no screenshot $shot.png"; exit 1; }
done

if [ "$arch" = win64 ]; then
  # WoW64 kept the 64-bit side untouched: the library went to syswow64, and the
  # 32-bit view is Wow6432Node of the 64-bit registry. Debian's wine starts the
  # 32-bit loader, whose reg.exe shows the 32-bit view: the 64-bit one needs wine64.
  reg64() { /usr/lib/wine/wine64 reg "$@"; }
  expect "$installed" "holds no UNRAR.DLL"
  expect "$installed" "The product key is in HKLM\Software\Wow6432Node of the 64-bit registry."
  if reg64 query 'HKLM\Software\Korvane' >/dev/null 2>&1 ||
     reg64 query 'HKLM\Software\Wow6432Node\Korvane' >/dev/null 2>&1; then
    echo "a product key is left in the 64-bit registry"; exit 1
  fi
fi
echo "try_medium_test ($arch): ok"
