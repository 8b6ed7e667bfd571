#!/usr/bin/env bash
# tools/sample-medium.sh MEDIUM_DIR
# Assembles the distribution medium of the sample product "별빛 가계부 1.0" in
# MEDIUM_DIR, as a distributor would: the product's files packed with kitpack.exe
# (a program, a help text in a subdirectory, data with one 48 MiB file so that the
# progress window stays up for a moment, engine files), tools/sample/SETUP.INI, and
# the kit's programs with the stand-in UNRAR.DLL beside them.
# Needs the built kit (KIT_BUILD_DIR, default build/release) and a Wine prefix with
# the bench environment (testing/bench/env.sh) to run kitpack.exe in.
set -euo pipefail
root=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
[ $# -eq 1 ] || { echo "usage: tools/sample-medium.sh MEDIUM_DIR" >&2; exit 2; }
[ -n "${WINEPREFIX:-}" ] || { echo "tools/sample-medium.sh: no Wine prefix (WINEPREFIX)" >&2; exit 2; }
medium=$(realpath -m "$1")
build=${KIT_BUILD_DIR:-$root/build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$medium" "$work/program/도움말" "$work/data" "$work/engine"
printf 'MZ (the sample program of 별빛 가계부)\r\n' >"$work/program/BYEOLBIT.EXE"
printf '별빛 가계부 1.0\r\n가계부를 쓰는 방법은 도움말을 보십시오.\r\n' |
  iconv -f UTF-8 -t CP949 >"$work/program/도움말/읽어보기.TXT"
head -c 48M /dev/zero >"$work/data/표본자료.DAT"
printf '2024-01-01,식비,12000\r\n' | iconv -f UTF-8 -t CP949 >"$work/data/2024.DAT"
for f in IDAPI32.DLL IDPDX32.DLL IDR20009.DLL; do printf 'engine file %s\r\n' "$f" >"$work/engine/$f"; done

cp "$build"/kit/{setup.exe,UNRAR.DLL,Halvex.exe,Dorcel.exe} "$root/tools/sample/SETUP.INI" "$medium/"
pack() {
  wine "$build/kit/kitpack.exe" "$(winepath -w "$medium/$1")" "$(winepath -w "$2")" |
    iconv -f CP949 -t UTF-8 | tr -d '\r' | sed 's/^/  /'
}
pack PROGRAM.RAR "$work/program"
pack DATA.RAR "$work/data"
pack Paradox.RAR "$work/engine"
