#!/usr/bin/env bash
# Makes the release bundle build/release/kit-<version>.zip (the version is the
# project's, from CMake): the three programs, the distributors' kitcheck.exe and
# kitpack.exe with the one-file medium's launcher.exe, sign.sh, the sample SETUP.INI
# (code page 949, CR LF, Korean comments on every key), the bundle's own guide
# (tools/bundle/DISTRIBUTOR-GUIDE.txt, with CR LF), and SHA256SUMS over all of them.
# The stand-in UNRAR.DLL is not in it: distributors ship the real library.
# Builds the release preset first, unless KIT_BUILD_DIR names a built tree to take.
set -euo pipefail
root=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
cd "$root"

build=$(realpath "${KIT_BUILD_DIR:-$root/build/release}")
if [ -z "${KIT_BUILD_DIR:-}" ]; then
  tools/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release -j"$(nproc)" >/dev/null
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "tools/package.sh: no project version in $build" >&2; exit 1; }

name=kit-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$build"/kit/{setup.exe,Dorcel.exe,Halvex.exe,kitcheck.exe,kitpack.exe,launcher.exe} \
  tools/sample/SETUP.INI tools/sign.sh "$stage/$name/"
sed 's/$/\r/' tools/bundle/DISTRIBUTOR-GUIDE.txt >"$stage/$name/DISTRIBUTOR-GUIDE.txt"
(cd "$stage/$name" && sha256sum -- * >SHA256SUMS)

rm -f "$build/$name.zip"
(cd "$stage" && bsdtar -a -cf "$build/$name.zip" "$name")
echo "$build/$name.zip:"
bsdtar -tvf "$build/$name.zip"
