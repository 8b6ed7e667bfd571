#!/usr/bin/env bash
# Tries a distribution medium as a customer would meet it: a fresh Korean Wine
# prefix in which the medium is drive D:, kitcheck's report on it, setup.exe run
# from D:, then what was installed: the install log (shown as UTF-8, and compared
# with the one kitcheck predicted), the registry values and where the shortcuts
# point. With --uninstall, Halvex.exe removes it again and the script shows what is
# left.
#
# A one-file medium (kitpack --one-file) is given as its file: it is run as a customer
# runs a download, from a Downloads folder that holds nothing else; kitcheck's report
# and prediction are made from its payload, unpacked beside the output; and the script
# reports whether the temporary directory the launcher made is gone afterwards.
#
#   tools/try-medium.sh MEDIUM_DIR|ONE_FILE.EXE [--interactive] [--uninstall] [--out DIR] [--prefix DIR]
#                       [--arch win32|win64]
#
#   --interactive  setup.exe on your X display ($DISPLAY): you click through it.
#                  Otherwise a driver clicks through with the defaults in a virtual
#                  screen (Xvfb) and saves a screenshot of every window.
#   --uninstall    afterwards, Halvex.exe from the install directory (Yes, OK).
#   --out DIR      where the screenshots and the predicted log go
#                  (default build/release/try-medium).
#   --prefix DIR   use this Wine prefix as it is (default: a fresh one in
#                  build/release/wine/try-medium, or try-medium-win64).
#   --arch ARCH    the fresh prefix's Windows: win32 (default) or win64, 64-bit
#                  Windows, where the kit's 32-bit programs run under WoW64 (a given
#                  prefix keeps its own).
#
# Exit code 0 when setup completed (and, driven, wrote the log kitcheck predicted,
# and Halvex ended normally); 1 otherwise; 2 for bad arguments. It uses the kit in
# KIT_BUILD_DIR (default build/release, which it builds first).
set -euo pipefail
root=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
cd "$root"

medium="" interactive=0 uninstall=0 out="" prefix="" arch=win32
usage="usage: tools/try-medium.sh MEDIUM_DIR|ONE_FILE.EXE [--interactive] [--uninstall] [--out DIR] [--prefix DIR] [--arch win32|win64]"
while [ $# -gt 0 ]; do
  case "$1" in
    --interactive) interactive=1 ;;
    --uninstall) uninstall=1 ;;
    --out) out=$2; shift ;;
    --prefix) prefix=$2; shift ;;
    --arch) arch=$2; shift
      case "$arch" in win32|win64) ;; *) echo "$usage" >&2; exit 2 ;; esac ;;
    -*) echo "tools/try-medium.sh: unknown option $1" >&2; exit 2 ;;
    *) [ -z "$medium" ] || { echo "tools/try-medium.sh: one medium only" >&2; exit 2; }
       medium=$1 ;;
  esac
  shift
done
[ -n "$medium" ] && { [ -d "$medium" ] || [ -f "$medium" ]; } || { echo "$usage" >&2; exit 2; }
if [ "$interactive" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  echo "tools/try-medium.sh: --interactive needs an X display, and \$DISPLAY is not set" >&2
  exit 2
fi
medium=$(realpath "$medium")

section() { printf '\n== %s\n' "$*"; }
# Output of Wine console programs and files of the kit: CP949 with CR LF, shown as UTF-8.
from_wine() { iconv -f CP949 -t UTF-8 | tr -d '\r'; }

build=${KIT_BUILD_DIR:-$root/build/release}
if [ -z "${KIT_BUILD_DIR:-}" ]; then
  tools/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release -j"$(nproc)" >"$build/try-medium-build.log" 2>&1 ||
    { tail -n 30 "$build/try-medium-build.log"; exit 1; }
fi
out=$(realpath -m "${out:-$build/try-medium}")
mkdir -p "$out"
bench=$root/testing/bench
driver=$build/tools/demo/demo_driver.exe
. "$bench/env.sh"
if [ -z "$prefix" ]; then
  prefix=$build/wine/try-medium
  [ "$arch" = win64 ] && prefix+=-win64
  section "A fresh Wine prefix (Korean code page, $arch) in $prefix"
  "$bench/make-prefix.sh" "$prefix" "$arch" >/dev/null
fi
bench_env "$prefix"
# What a 32-bit program writes into the system directory lands here.
system32_dir='C:\windows\system32'
[ "$WINEARCH" = win64 ] && system32_dir='C:\windows\syswow64'

cleanup() {
  wineserver -k 2>/dev/null || true
  bench_xvfb_stop
}
trap cleanup EXIT
wineserver -p 2>/dev/null || true  # one server for the whole try, or the one already up
if [ "$interactive" = 0 ]; then
  bench_xvfb 1024x768x24 || exit 1  # a virtual screen of 1024 x 768
else
  # A real desktop has a window manager: let it frame the windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null
fi
one_file=""
medium_dir=$medium
if [ -f "$medium" ]; then
  one_file=$medium
  medium_dir=$out/one-file-payload
  rm -rf "$medium_dir"
  section "The one-file medium $one_file"
  "$root/tools/one_file_payload.py" "$one_file" --extract "$medium_dir" ||
    { echo "Its payload does not check: the launcher would refuse it."; exit 1; }
  echo "Its payload checks; unpacked for kitcheck into $medium_dir."
  # A Downloads folder of the user's that holds only the download.
  user_dir=$(winepath -u 'C:\users' 2>/dev/null)/$(id -un)
  downloads=$user_dir/Downloads
  rm -rf "$downloads" && mkdir -p "$downloads"
  cp "$one_file" "$downloads/"
  download_win="C:\\users\\$(id -un)\\Downloads\\$(basename "$one_file")"
  temp_dir=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')" 2>/dev/null)
  mkdir -p "$temp_dir"
  temp_before=$(ls -A "$temp_dir" | sort)
fi
ln -sfn "$medium_dir" "$WINEPREFIX/dosdevices/d:"

section "The medium (drive D: = $medium_dir)"
ls -l "$medium_dir" | tail -n +2 | sed 's/^/  /'

section "kitcheck's report"
predicted=$out/predicted-INSTALL.LOG
rm -f "$predicted"
set +e
report=$(wine "$build/kit/kitcheck.exe" 'D:\' --log "$(winepath -w "$predicted")" | from_wine)
check_code=$?
set -e
printf '%s\n' "$report"
echo "(kitcheck exit code $check_code)"
# The product key, as kitcheck read it from the medium's own script.
product_key=$(printf '%s\n' "$report" | sed -n 's/^ *[0-9]*\. 등록: \(HKLM\\[^,]*\).*$/\1/p' | head -n 1)

reg_value() { "$bench/reg-query.sh" "$prefix" "$1" "$2" 2>/dev/null; }
show_key() {
  echo "$1:"
  "$bench/reg-query.sh" "$prefix" "$1" 2>/dev/null | grep -v '^$' | tail -n +2 | sed 's/^/  /' ||
    echo "  (no such key)"
}
list_tree() {
  local dir
  dir=$(winepath -u "$1" 2>/dev/null)
  if [ -d "$dir" ]; then
    find "$dir" -mindepth 1 \( -type d -printf '  %P/\n' \) -o -printf '  %P  (%s bytes)\n' |
      sort | tr '/' '\\'
  else
    echo "  (no such directory)"
  fi
}
# The lines of the install log that carry a tag, without it.
logged() { from_wine <"$log_file" | sed -n "s/^$1//p"; }

status=0
if [ "$interactive" = 1 ]; then
  section "setup.exe is on your display: click through it (the script goes on when it ends)"
  if [ -n "$one_file" ]; then wine "$download_win" || true; else wine 'D:\setup.exe' || true; fi
elif [ -n "$one_file" ]; then
  section "$download_win from a Downloads folder that holds nothing else, clicked through"
  wine "$driver" setup "$download_win" "$(winepath -w "$out")\\" | from_wine || status=1
  for bmp in "$out"/*.bmp; do [ -f "$bmp" ] && /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
else
  section "setup.exe from drive D:, clicked through with its defaults"
  wine "$driver" setup 'D:\' "$(winepath -w "$out")\\" | from_wine || status=1
  for bmp in "$out"/*.bmp; do [ -f "$bmp" ] && /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
fi

if [ -n "$one_file" ]; then
  section "The launcher's temporary directory"
  left=$(comm -13 <(printf '%s\n' "$temp_before") <(ls -A "$temp_dir" | sort) | grep -v '^$' || true)
  if [ -z "$left" ]; then
    echo "It is gone: $temp_dir holds nothing that was not there before."
  else
    echo "Left in $temp_dir:"; printf '  %s\n' $left
    status=1
  fi
fi

install_dir=""
[ -n "$product_key" ] && install_dir=$(reg_value "$product_key" InstallDir || true)
log_file=""
[ -n "$install_dir" ] && log_file=$(winepath -u "$install_dir\\INSTALL.LOG")

section "What was installed"
if [ -z "$log_file" ] || [ ! -f "$log_file" ]; then
  echo "No install log: the install did not complete."
  exit 1
fi
echo "$install_dir:"; list_tree "$install_dir"
echo "INSTALL.LOG (code page 949, shown as UTF-8):"
from_wine <"$log_file" | sed 's/^/  /'
if [ "$interactive" = 0 ]; then
  if cmp -s "$log_file" "$predicted"; then
    echo "It is byte for byte the log kitcheck predicted."
  else
    echo "It differs from the log kitcheck predicted ($predicted)."
    status=1
  fi
fi
# On the Unix side: winepath may run as a 32-bit program, which sees system32 redirected.
windows_dir=$WINEPREFIX/drive_c/windows
echo "The archive library in the 32-bit system directory $system32_dir:"
if cmp -s "$windows_dir/${system32_dir##*\\}/UNRAR.DLL" "$medium_dir/UNRAR.DLL"; then
  echo "  UNRAR.DLL, the medium's"
else
  echo "  no UNRAR.DLL of the medium's"
fi
if [ "$WINEARCH" = win64 ]; then
  echo "64-bit Windows: the kit's programs ran under WoW64; the 64-bit system directory"
  [ -e "$windows_dir/system32/UNRAR.DLL" ] && echo "  holds an UNRAR.DLL" ||
    echo "  holds no UNRAR.DLL"
  echo "  and the registry below is the 32-bit view (HKLM\Software\Wow6432Node)."
  # Debian's wine starts the 32-bit loader, whose reg.exe shows the 32-bit view.
  below_software=$(printf '%s' "$product_key" | sed 's/^HKLM\\Software\\//')
  if [ -x /usr/lib/wine/wine64 ] && [ -n "$product_key" ] &&
     /usr/lib/wine/wine64 reg query "HKLM\\Software\\Wow6432Node\\$below_software" >/dev/null 2>&1
  then
    echo "  The product key is in HKLM\Software\Wow6432Node of the 64-bit registry."
  fi
fi
show_key "$product_key"
uninstall_key=$(logged 'REG:' | head -n 1)
[ -n "$uninstall_key" ] && show_key "HKLM\\$uninstall_key"
if "$bench/reg-query.sh" "$prefix" 'HKLM\Software\Borland\Database Engine' >/dev/null 2>&1; then
  show_key 'HKLM\Software\Borland\Database Engine'
fi
echo "Shortcuts:"
links=()
while IFS= read -r link; do links+=("$link"); done < <(logged 'ICON:')
if [ ${#links[@]} -gt 0 ]; then
  wine "$driver" shortcut "${links[@]}" | from_wine | sed 's/^/  /'
fi

key_line=$(logged 'KEY:')  # the log asks Halvex.exe to leave nothing

if [ "$uninstall" = 1 ]; then
  section "Removing it with Halvex.exe"
  if [ "$interactive" = 1 ]; then
    wine "$install_dir\\Halvex.exe" || true
  else
    wine "$driver" remove "$install_dir\\" "$(winepath -w "$out")\\" | from_wine || status=1
    for bmp in "$out"/*.bmp; do [ -f "$bmp" ] && /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
  fi
  # What the running Halvex.exe could not remove waits for a restart; wineboot -r plays it.
  session_manager='HKLM\System\CurrentControlSet\Control\Session Manager'
  pending=$(wine reg query "$session_manager" /v PendingFileRenameOperations 2>/dev/null |
    from_wine | sed -n 's/^.*REG_MULTI_SZ *//p')
  if [ -n "$pending" ]; then
    section "Restarting Windows (wineboot -r) for what waits for it"
    printf '%s\n' "$pending" | sed 's/\\0/\n/g' | sed -n 's/^\\??\\\(.\)/  \1/p'
    wineboot -r >/dev/null 2>&1
  fi
  section "What is left"
  if [ -n "$key_line" ]; then
    echo "(The log named everything setup put down and made: nothing stays but what was"
    echo "added after the install.)"
  else
    echo "(What setup copied whole is not in the log, and a directory that extraction made"
    echo "is never removed, so they stay.)"
  fi
  echo "$install_dir:"; list_tree "$install_dir"
  parent_dir=${install_dir%\\*}
  echo "$parent_dir:"; list_tree "$parent_dir"
  for link in "${links[@]}"; do
    echo "$link: $([ -f "$(winepath -u "$link")" ] && echo present || echo gone)"
  done
  [ -n "$uninstall_key" ] && show_key "HKLM\\$uninstall_key"
  show_key "$product_key"
  show_key "${product_key%\\*}"
  show_key "${product_key%\\*\\*}"
fi

section "Done"
ls "$out"/*.png 2>/dev/null | sed 's/^/  /' || true
exit "$status"
