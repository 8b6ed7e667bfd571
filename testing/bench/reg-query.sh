#!/usr/bin/env bash
# reg-query.sh PREFIX KEY [VALUE]
# With VALUE: prints that value's data (UTF-8) and fails when it is missing.
# Without: prints the key's listing as `wine reg query` gives it, in UTF-8.
# KEY is written the way reg.exe takes it, e.g. 'HKLM\Software\Korvane'. The
# registry is the one the kit's 32-bit programs see: in a 64-bit prefix the 32-bit
# view (HKLM\Software is then Wow6432Node), read by the 32-bit reg.exe.
set -uo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/env.sh"
bench_env "$1"
key=$2
reg=reg
if [ "$WINEARCH" = win64 ]; then reg='C:\windows\syswow64\reg.exe'; fi
if [ $# -lt 3 ]; then
  wine "$reg" query "$key" 2>/dev/null | iconv -f CP949 -t UTF-8 | tr -d '\r'
  exit "${PIPESTATUS[0]}"
fi
out=$(wine "$reg" query "$key" /v "$3" 2>/dev/null | iconv -f CP949 -t UTF-8 | tr -d '\r') || exit 1
# reg.exe prints "    NAME    TYPE    DATA"; names may hold blanks, so cut after the type.
line=$(printf '%s\n' "$out" | grep -E '^    .*    REG_[A-Z_]+(    |$)' | head -n 1)
[ -n "$line" ] || exit 1
printf '%s\n' "$line" | sed -E 's/^    .*    REG_[A-Z_]+( {4}|$)//'
