#!/usr/bin/env bash
# wine-run.sh PREFIX [--display] COMMAND [ARGS...]
# Runs COMMAND with the bench environment of PREFIX (a .exe through wine).
# --display starts it under Xvfb. The exit code is the command's.
set -uo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/env.sh"
bench_env "$1"; shift
run=()
if [ "${1:-}" = "--display" ]; then run=(xvfb-run -a -s "-screen 0 1280x1024x24"); shift; fi
case "$1" in
  *.exe|*.EXE) run+=(wine "$@") ;;
  *) run+=("$@") ;;
esac
exec "${run[@]}"
