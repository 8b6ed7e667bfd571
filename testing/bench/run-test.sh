#!/usr/bin/env bash
# run-test.sh --base BASE --work DIR [--display] [--keep] -- COMMAND [ARGS...]
# Copies the prefix BASE to DIR/prefix, keeps one wineserver up for it while
# COMMAND runs, then stops it. A COMMAND ending in .exe is started with wine;
# anything else (a script) runs as is, with the bench environment exported.
# --display gives the command an Xvfb screen of its own. The copy is removed when the
# command succeeds, unless --keep is given.
set -uo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/env.sh"

base="" work="" display=0 keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --base) base=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --display) display=1; shift ;;
    --keep) keep=1; shift ;;
    --) shift; break ;;
    *) echo "run-test.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -d "$base/drive_c" ] || { echo "run-test.sh: no prefix at $base (run the bench_prefix test first)" >&2; exit 2; }

prefix="$work/prefix"
if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k 2>/dev/null; fi
rm -rf "$work"
mkdir -p "$work"
cp -a "$base" "$prefix"
bench_env "$prefix"
export KIT_BENCH_DIR="$here" KIT_WORK_DIR="$(realpath "$work")"

wineserver -p
if [ "$display" = 1 ]; then
  bench_xvfb 1280x1024x24 || { wineserver -k 2>/dev/null; exit 2; }
else
  unset DISPLAY
fi
case "$1" in
  *.exe|*.EXE) run=(wine "$@") ;;
  *) run=("$@") ;;
esac
"${run[@]}"
status=$?

wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
bench_xvfb_stop
if [ "$status" = 0 ] && [ "$keep" = 0 ]; then
  rm -rf "$prefix"
fi
exit "$status"
