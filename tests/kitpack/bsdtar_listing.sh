#!/usr/bin/env bash
# Proves kitpack's archives genuine on the Linux side: a folder with nested Korean
# names and an empty directory is packed by kitpack.exe under Wine, then Debian's
# bsdtar lists the archive (names in code page 949) in kitpack's order and extracts it
# byte for byte, with the files' times.
set -euo pipefail
kitpack=$1

work="$KIT_WORK_DIR/kitpack-bsdtar"
rm -rf "$work"
source="$work/원본"
mkdir -p "$source/자료/문서" "$source/자료/빈폴더"
printf '읽어 보십시오.\r\n' >"$source/자료/문서/읽어보기.TXT"
head -c 200000 /dev/urandom >"$source/자료/큰파일.BIN"
printf 'hanja\r\n' >"$source/漢字.TXT"
printf 'ascii\r\n' >"$source/README.TXT"
touch -d '2001-02-03 04:05:06' "$source/자료/문서/읽어보기.TXT"

wine "$kitpack" "$(winepath -w "$work/PACKED.RAR")" "$(winepath -w "$source")" |
  iconv -f CP949 -t UTF-8

# Sorted by code page 949 bytes within each directory, a directory after its contents.
cat >"$work/expected.list" <<'LIST'
README.TXT
자료/문서/읽어보기.TXT
자료/문서
자료/빈폴더
자료/큰파일.BIN
자료
漢字.TXT
LIST
echo "== bsdtar -tvf PACKED.RAR"
bsdtar --options hdrcharset=CP949 -tvf "$work/PACKED.RAR"
bsdtar --options hdrcharset=CP949 -tf "$work/PACKED.RAR" >"$work/bsdtar.list"
diff -u "$work/expected.list" "$work/bsdtar.list" ||
  { echo "bsdtar lists PACKED.RAR differently"; exit 1; }

mkdir "$work/extracted"
bsdtar --options hdrcharset=CP949 -xf "$work/PACKED.RAR" -C "$work/extracted"
diff -r "$source" "$work/extracted" || { echo "bsdtar extracts PACKED.RAR differently"; exit 1; }
file=자료/문서/읽어보기.TXT
if [ "$(stat -c %Y "$source/$file")" != "$(stat -c %Y "$work/extracted/$file")" ]; then
  echo "bsdtar extracts $file with another time"; exit 1
fi
echo "kitpack bsdtar proof: ok"
