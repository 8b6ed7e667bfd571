#!/usr/bin/env bash
# make-prefix.sh PREFIX [win32|win64]
# Makes a fresh Wine prefix, 32-bit unless win64 is asked for (64-bit Windows, where
# the kit's programs run under WoW64), with the Korean locale (code page 949), font
# replacements for the Korean face names, Marlett, no window manager decorations
# and no menu builder. Replaces any prefix already at PREFIX.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/env.sh"

prefix=$(realpath -m "$1")
arch=${2:-win32}
case "$arch" in
  win32|win64) ;;
  *) echo "make-prefix.sh: no architecture $arch (win32 or win64)" >&2; exit 2 ;;
esac
if [ -d "$prefix" ]; then
  bench_env "$prefix"
  wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
fi
mkdir -p "$prefix"
bench_env "$prefix" "$arch"

wineboot -i >/dev/null 2>&1
# The user's folders come as links to $HOME; make them plain folders so that
# every copy of the prefix is self-contained.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link"; mkdir "$link"; fi
done
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
iconv -f UTF-8 -t UTF-16 > "$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"굴림체"="NanumGothicCoding"
"GulimChe"="NanumGothicCoding"
"돋움체"="NanumGothicCoding"
"DotumChe"="NanumGothicCoding"
"굴림"="NanumGothic"
"Gulim"="NanumGothic"
"돋움"="NanumGothic"
"Dotum"="NanumGothic"
"바탕"="NanumMyeongjo"
"바탕체"="NanumMyeongjo"
"Batang"="NanumMyeongjo"
"BatangChe"="NanumMyeongjo"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
REG
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
