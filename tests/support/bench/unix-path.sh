#!/usr/bin/env bash
# unix-path.sh PREFIX WINDOWS-PATH
# Prints the Unix path of a Windows path of the prefix (C:\... lies in drive_c).
set -uo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/env.sh"
bench_env "$1"
winepath -u "$2" 2>/dev/null
