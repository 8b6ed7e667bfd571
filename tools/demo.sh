#!/usr/bin/env bash
# The kit's main job: installs what is missing, builds the kit and shows it at work
# under Wine. A sample Korean product goes on a medium (drive D:), setup.exe installs
# it while a driver clicks through like a user and saves a screenshot of every
# window, the script shows what was installed, and Halvex.exe removes it again.
#
#   tools/demo.sh                 all of it in a virtual display (Xvfb)
#   tools/demo.sh --interactive   on your X display ($DISPLAY): you click through
#                                 setup yourself, then the script shows the results
#
# Screenshots: build/release/demo/*.png. Wine prefix: build/release/wine/demo.
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."
root=$PWD

interactive=0
case "${1:-}" in
  "") ;;
  --interactive) interactive=1 ;;
  *) echo "usage: tools/demo.sh [--interactive]" >&2; exit 2 ;;
esac
if [ "$interactive" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  echo "tools/demo.sh: --interactive needs an X display, and \$DISPLAY is not set" >&2
  exit 2
fi

section() { printf '\n== %s\n' "$*"; }

section "Installing what is missing"
tools/install-deps.sh

section "Building the kit"
cmake --preset release >/dev/null
if ! cmake --build --preset release -j"$(nproc)" >build/release/demo-build.log 2>&1; then
  tail -n 30 build/release/demo-build.log; exit 1
fi
ls -l build/release/kit

build=$root/build/release
bench=$root/tests/support/bench
prefix=$build/wine/demo
out=$build/demo
medium=$out/medium
driver=$build/tools/demo/demo_driver.exe
. "$bench/env.sh"

section "Making a fresh Wine prefix in build/release/wine/demo"
"$bench/make-prefix.sh" "$prefix"
bench_env "$prefix"  # every Wine process below runs in it

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
wineserver -p  # one server for the whole demo
if [ "$interactive" = 0 ]; then
  # A virtual screen of 1024 x 768 on the first free display number.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$display_file")"
  rm -f "$display_file"
else
  # A real desktop has a window manager: let it frame the windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null
fi

section "Assembling the sample medium (drive D: = build/release/demo/medium)"
rm -rf "$out"
mkdir -p "$medium" "$out/sample/program/도움말" "$out/sample/data" "$out/sample/engine"
cp build/release/kit/{setup.exe,UNRAR.DLL,Halvex.exe,Dorcel.exe} "$medium/"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"

# The product's files: a program, a help text in a subdirectory, data with one
# larger file (so the progress window stays up for a moment), and engine files.
printf 'MZ (the sample program of 별빛 가계부)\r\n' >"$out/sample/program/BYEOLBIT.EXE"
printf '별빛 가계부 1.0\r\n가계부를 쓰는 방법은 도움말을 보십시오.\r\n' |
  iconv -f UTF-8 -t CP949 >"$out/sample/program/도움말/읽어보기.TXT"
head -c 48M /dev/zero >"$out/sample/data/표본자료.DAT"
printf '2024-01-01,식비,12000\r\n' | iconv -f UTF-8 -t CP949 >"$out/sample/data/2024.DAT"
for f in IDAPI32.DLL IDPDX32.DLL IDR20009.DLL; do printf 'engine file %s\r\n' "$f" >"$out/sample/engine/$f"; done

# Output of Wine console programs: CP949 with CR LF, shown as UTF-8.
from_wine() { iconv -f CP949 -t UTF-8 | tr -d '\r'; }

# The archives are packed as a distributor packs them, with the kit's kitpack.exe.
pack() { wine "$build/kit/kitpack.exe" "D:\\$1" "$(winepath -w "$2")" | from_wine | sed 's/^/  /'; }
pack PROGRAM.RAR "$out/sample/program"
pack DATA.RAR "$out/sample/data"
pack Paradox.RAR "$out/sample/engine"

iconv -f UTF-8 -t CP949 <<'INI' | sed 's/$/\r/' >"$medium/SETUP.INI"
[APP]
NAME=별빛 가계부
VERSION=1.0
COMPANY=Korvane
INSTALLDIR=C:\별빛가계부
FOLDER=별빛가계부
TITLE=별빛 가계부 1.0
UNINSTALL=별빛 가계부 제거

[BDE]
FILE=Paradox.RAR
DATE=2024-03-01

[FILES]
FILE1=PROGRAM.RAR,<INSTALLDIR>
FILE2=DATA.RAR,<INSTALLDIR>\자료

[ICONS]
ICON1=Programs,별빛 가계부,<INSTALLDIR>\BYEOLBIT.EXE
ICON2=Desktop,별빛 가계부,<INSTALLDIR>\BYEOLBIT.EXE
INI
echo "SETUP.INI (stored in code page 949):"
iconv -f CP949 -t UTF-8 "$medium/SETUP.INI" | tr -d '\r' | sed 's/^/  /'
echo "The medium:"
ls -l "$medium" | tail -n +2 | sed 's/^/  /'

app_dir=$WINEPREFIX/drive_c/별빛가계부
title="별빛 가계부 1.0"
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$title"
programs=$("$bench/reg-query.sh" "$prefix" \
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Programs)
desktop=$("$bench/reg-query.sh" "$prefix" \
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Desktop)
group=$(winepath -u "$programs\\$title")
desktop_link=$(winepath -u "$desktop\\별빛 가계부.LNK")

list_tree() {
  if [ -d "$1" ]; then
    find "$1" -mindepth 1 \( -type d -printf '  %P/\n' \) -o -printf '  %P  (%s bytes)\n' |
      sort | tr '/' '\\'
  else
    echo "  (no such directory)"
  fi
}
show_key() {
  echo "$1:"
  "$bench/reg-query.sh" "$prefix" "$1" | grep -v '^$' | tail -n +2 | sed 's/^/  /' ||
    echo "  (no such key)"
}

show_installed() {
  section "What was installed"
  echo "C:\\별빛가계부:"; list_tree "$app_dir"
  echo "The database engine, C:\\Program Files\\Borland\\Common Files\\BDE:"
  list_tree "$WINEPREFIX/drive_c/Program Files/Borland/Common Files/BDE"
  echo "INSTALL.LOG (code page 949, shown as UTF-8):"
  if [ -f "$app_dir/INSTALL.LOG" ]; then
    from_wine <"$app_dir/INSTALL.LOG" | sed 's/^/  /'
  else
    echo "  (none: the install did not complete)"
  fi
  show_key "HKLM\\Software\\Korvane\\별빛 가계부\\1.0"
  show_key 'HKLM\Software\Borland\Database Engine'
  for driver_key in PARADOX DBASE; do
    printf '%s language driver: %s\n' "$driver_key" "$("$bench/reg-query.sh" "$prefix" \
      "HKLM\\Software\\Borland\\Database Engine\\Settings\\DRIVERS\\$driver_key\\INIT" LANGDRIVER ||
      echo "(none)")"
  done
  echo "Shortcuts:"
  local links=()
  for link in "$group"/*.LNK "$desktop_link"; do [ -f "$link" ] && links+=("$(winepath -w "$link")"); done
  if [ ${#links[@]} -gt 0 ]; then wine "$driver" shortcut "${links[@]}" | from_wine | sed 's/^/  /'; fi
}

if [ "$interactive" = 1 ]; then
  section "setup.exe is on your display: click through it (the demo goes on when it ends)"
  wine 'D:\setup.exe' || true
  show_installed
  section "Done"
  echo "To remove the product, run Halvex.exe from the install directory:"
  echo "  . tests/support/bench/env.sh && bench_env build/release/wine/demo && wine 'C:\\별빛가계부\\Halvex.exe'"
  exit 0
fi

section "Running setup.exe from drive D: (the driver clicks through like a user)"
wine "$driver" setup 'D:\' "$(winepath -w "$out")\\" | from_wine
for bmp in "$out"/*.bmp; do /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
show_installed

section "Removing it with Halvex.exe"
# A product registers itself for removal under the Uninstall key that the log
# names; the demo does that for the sample product.
wine reg add "$uninstall_key" /v DisplayName /d "$title" /f >/dev/null
wine reg add "$uninstall_key" /v UninstallString /d 'C:\별빛가계부\Halvex.exe' /f >/dev/null
show_key "$uninstall_key"
wine "$driver" remove 'C:\별빛가계부\' "$(winepath -w "$out")\\" | from_wine
for bmp in "$out"/*.bmp; do /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done

section "What is left"
echo "C:\\별빛가계부 (what setup copied whole is not in the log, and a directory that"
echo "extraction made is never removed, so they stay):"
list_tree "$app_dir"
echo "The Start-menu group \"$title\":"; list_tree "$group"
echo "The desktop shortcut: $([ -f "$desktop_link" ] && echo present || echo gone)"
show_key "$uninstall_key"
show_key "HKLM\\Software\\Korvane\\별빛 가계부\\1.0"

section "Done"
echo "Screenshots in build/release/demo:"
ls "$out"/*.png | sed "s|^$root/|  |"
