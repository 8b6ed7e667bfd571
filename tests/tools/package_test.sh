#!/usr/bin/env bash
# The release bundle: exactly the kit's programs, the distributors' tools (the
# launcher and sign.sh with them), the sample SETUP.INI in code page 949 with CR LF, a
# guide that names nothing outside the bundle, and checksums that hold; never the
# stand-in UNRAR.DLL.
set -euo pipefail
build=$(realpath "$1")
source_dir=$2
KIT_BUILD_DIR=$build "$source_dir/tools/package.sh" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/kit-$version.zip
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
bsdtar -xf "$zip" -C "$out"
cd "$out/kit-$version"

expected="DISTRIBUTOR-GUIDE.txt Dorcel.exe Halvex.exe SETUP.INI SHA256SUMS kitcheck.exe kitpack.exe launcher.exe setup.exe sign.sh"
found=$(ls | sort | tr '\n' ' ' | sed 's/ $//')
[ "$found" = "$(tr ' ' '\n' <<<"$expected" | sort | tr '\n' ' ' | sed 's/ $//')" ] ||
  { echo "the bundle holds: $found"; exit 1; }
sha256sum --quiet -c SHA256SUMS || { echo "a checksum does not hold"; exit 1; }
[ "$(wc -l <SHA256SUMS)" = 9 ] || { echo "SHA256SUMS does not cover every file"; exit 1; }
cmp -s setup.exe "$build/kit/setup.exe" || { echo "setup.exe is not the built one"; exit 1; }
iconv -f CP949 -t UTF-8 SETUP.INI >/dev/null || { echo "SETUP.INI is not code page 949"; exit 1; }
if head -c 3 SETUP.INI | grep -q $'\xEF\xBB\xBF'; then echo "SETUP.INI has a byte-order mark"; exit 1; fi
if grep -qv $'\r$' SETUP.INI; then echo "a line of SETUP.INI does not end in CR LF"; exit 1; fi
iconv -f CP949 -t UTF-8 SETUP.INI | grep -q '^; ' || { echo "SETUP.INI has no comments"; exit 1; }
guide=$(tr -d '\r' <DISTRIBUTOR-GUIDE.txt)
for part in kitcheck "--one-file" "Z:\\" "LC_ALL=ko_KR.UTF-8" "32-bit unrar.dll" sign.sh signtool; do
  grep -qF -- "$part" <<<"$guide" || { echo "the guide does not tell of $part"; exit 1; }
done
# It stands alone: every program, script or text file it names is in the bundle.
for named in $(grep -oiE '[A-Za-z0-9_-]+\.(exe|sh|txt|ini)\b' <<<"$guide" | sort -u); do
  case "$named" in OUT.EXE|FILE.exe|PRODUCT-SETUP.exe|PASSWORD.txt|INSTALL.LOG) continue ;; esac
  [ -e "$named" ] || { echo "the guide names $named, which is not in the bundle"; exit 1; }
done
if grep -qE 'tools/|build/|README|try-medium|install-deps' <<<"$guide"; then
  echo "the guide names what is outside the bundle"; exit 1
fi
echo "bundle kit-$version.zip: ok"
