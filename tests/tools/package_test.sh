#!/usr/bin/env bash
# The release bundle: exactly the kit's programs, the distributors' tools, the sample
# SETUP.INI in code page 949 with CR LF, the guide, and checksums that hold; never the
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

expected="DISTRIBUTOR-GUIDE.txt Dorcel.exe Halvex.exe SETUP.INI SHA256SUMS kitcheck.exe kitpack.exe setup.exe"
found=$(ls | sort | tr '\n' ' ' | sed 's/ $//')
[ "$found" = "$(tr ' ' '\n' <<<"$expected" | sort | tr '\n' ' ' | sed 's/ $//')" ] ||
  { echo "the bundle holds: $found"; exit 1; }
sha256sum --quiet -c SHA256SUMS || { echo "a checksum does not hold"; exit 1; }
[ "$(wc -l <SHA256SUMS)" = 7 ] || { echo "SHA256SUMS does not cover every file"; exit 1; }
cmp -s setup.exe "$build/kit/setup.exe" || { echo "setup.exe is not the built one"; exit 1; }
iconv -f CP949 -t UTF-8 SETUP.INI >/dev/null || { echo "SETUP.INI is not code page 949"; exit 1; }
if head -c 3 SETUP.INI | grep -q $'\xEF\xBB\xBF'; then echo "SETUP.INI has a byte-order mark"; exit 1; fi
if grep -qv $'\r$' SETUP.INI; then echo "a line of SETUP.INI does not end in CR LF"; exit 1; fi
iconv -f CP949 -t UTF-8 SETUP.INI | grep -q '^; ' || { echo "SETUP.INI has no comments"; exit 1; }
grep -q 'kitcheck' DISTRIBUTOR-GUIDE.txt || { echo "the guide does not tell of kitcheck"; exit 1; }
echo "bundle kit-$version.zip: ok"
