#!/usr/bin/env bash
# The kit's main job: installs what is missing, builds the kit and shows it at work
# under Wine. A sample Korean product goes on a medium (tools/sample-medium.sh), and
# tools/try-medium.sh does the rest: kitcheck's report on the medium (drive D:),
# setup.exe installing it while a driver clicks through like a user and saves a
# screenshot of every window, what was installed, and Halvex.exe removing it again.
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
bench=$root/testing/bench
prefix=$build/wine/demo
out=$build/demo
. "$bench/env.sh"

section "Making a fresh Wine prefix in build/release/wine/demo"
"$bench/make-prefix.sh" "$prefix"
bench_env "$prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p

section "Assembling the sample medium in build/release/demo/medium"
rm -rf "$out"
tools/sample-medium.sh "$out/medium"
echo "SETUP.INI (stored in code page 949):"
iconv -f CP949 -t UTF-8 "$out/medium/SETUP.INI" | tr -d '\r' | sed 's/^/  /'

# The rest is what a distributor does with any medium (tools/try-medium.sh).
if [ "$interactive" = 1 ]; then
  KIT_BUILD_DIR=$build tools/try-medium.sh "$out/medium" --interactive --out "$out" --prefix "$prefix"
  echo "To remove the product, run Halvex.exe from the install directory:"
  echo "  . testing/bench/env.sh && bench_env build/release/wine/demo && wine 'C:\\Program Files\\별빛 가계부\\Halvex.exe'"
else
  KIT_BUILD_DIR=$build tools/try-medium.sh "$out/medium" --uninstall --out "$out" --prefix "$prefix"
fi
