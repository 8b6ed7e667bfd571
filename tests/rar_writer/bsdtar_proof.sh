#!/usr/bin/env bash
# Proves that the test writer's archives are genuine: Debian's bsdtar lists them
# and extracts them byte for byte, and refuses the one with a damaged header.
set -euo pipefail
test_exe=$1

wine "$test_exe" --gtest_filter='BsdtarProof.*'

root="$WINEPREFIX/drive_c/kit-tests/bsdtar"
out="$KIT_WORK_DIR/bsdtar"
rm -rf "$out"
mkdir -p "$out"

for name in tree cp949; do
  options=()
  # Names stored only in 8 bits are in code page 949.
  if [ "$name" = cp949 ]; then options=(--options hdrcharset=CP949); fi
  echo "== bsdtar -tvf $name.rar"
  bsdtar "${options[@]}" -tvf "$root/$name.rar"
  bsdtar "${options[@]}" -tf "$root/$name.rar" | sort > "$out/$name.list"
  sort "$root/expected/$name.list" | diff -u - "$out/$name.list" \
    || { echo "bsdtar lists $name.rar differently"; exit 1; }
  mkdir -p "$out/$name"
  bsdtar "${options[@]}" -xf "$root/$name.rar" -C "$out/$name"
  diff -r "$root/expected/$name" "$out/$name" \
    || { echo "bsdtar extracts $name.rar differently"; exit 1; }
done

if bsdtar -tf "$root/damaged.rar" >/dev/null 2>&1; then
  echo "bsdtar accepted a header with a wrong checksum"; exit 1
fi
echo "bsdtar proof: ok"
