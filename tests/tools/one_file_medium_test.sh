#!/usr/bin/env bash
# The download case from start to end, as the distributor's guide orders it: the
# sample medium's three programs signed with a throwaway certificate, the medium
# checked (no problem left), built into one file with kitpack --one-file and that
# signed too; then tools/try-medium.sh runs it from a Downloads folder that holds
# nothing else: it installs with the log kitcheck predicted, leaves no temporary
# directory and is removed again. A download altered after signing fails both the
# signature's check and the launcher's own (exit code 100, no window in a silent
# run, a line in the run log); one cut short fails the launcher's. The same medium
# given as a drive's root makes the same payload.
set -euo pipefail
export KIT_BUILD_DIR
build=$KIT_BUILD_DIR
here=$(dirname "$(realpath "$0")")
. "$here/test_certificates.sh"
work=$KIT_WORK_DIR
fail() { echo "FAILED: $*"; exit 1; }
expect() { grep -qF -- "$2" <<<"$1" || fail "missing from the output: $2"; }
from_wine() { iconv -f CP949 -t UTF-8 | tr -d '\r'; }
mkdir -p "$work/certificates"
make_test_certificates "$work/certificates"
sign() {
  "$KIT_SOURCE_DIR/tools/sign.sh" --pfx "$work/certificates/signer.pfx" \
    --password-file "$work/certificates/signer.pass" --name "Byeolbit Gagyebu" \
    --url "https://korvane.example/" "$@"
}

medium=$work/medium
"$KIT_SOURCE_DIR/tools/sample-medium.sh" "$medium"
sign "$medium/setup.exe" "$medium/Halvex.exe" "$medium/Dorcel.exe"
report=$(wine "$build/kit/kitcheck.exe" "$(winepath -w "$medium")" | from_wine) ||
  fail "kitcheck: $report"
expect "$report" "결과: 오류 0개, 경고 0개"

mkdir -p "$work/out"
one=$work/out/별빛설치.exe
packed=$(wine "$build/kit/kitpack.exe" --one-file "$(winepath -w "$medium")" "$(winepath -w "$one")" |
  from_wine) || fail "kitpack --one-file: $packed"
echo "$packed"
expect "$packed" "파일 8개, "
# A medium at a drive's root, as a diskette is: kitcheck gets the root as its argument.
ln -sfn "$medium" "$WINEPREFIX/dosdevices/m:"
root_one=$work/out/root.exe
packed=$(wine "$build/kit/kitpack.exe" --one-file 'M:\' "$(winepath -w "$root_one")" 2>&1 |
  from_wine) || fail "kitpack --one-file M:\\: $packed"
cmp -s <("$KIT_SOURCE_DIR/tools/one_file_payload.py" "$root_one") \
  <("$KIT_SOURCE_DIR/tools/one_file_payload.py" "$one") || fail "the root's medium differs"
rm -f "$root_one" "$WINEPREFIX/dosdevices/m:"
sign "$one"
osslsigncode verify -in "$one" -CAfile "$work/certificates/signer.pem" >/dev/null ||
  fail "the signed one-file medium does not verify"
"$KIT_SOURCE_DIR/tools/one_file_payload.py" "$one" >/dev/null || fail "the signature broke the payload"

output=$("$KIT_SOURCE_DIR/tools/try-medium.sh" "$one" --uninstall --out "$work/try" \
  --prefix "$WINEPREFIX")
printf '%s\n' "$output"
expect "$output" "결과: 오류 0개, 경고 0개"
expect "$output" "It is byte for byte the log kitcheck predicted."
expect "$output" "the one-file medium ended with exit code 0"
expect "$output" "It is gone: "
expect "$output" "Halvex.exe ended with exit code 0"

# Downloads gone wrong, started silently with a run log as a deployment tool would.
temp_dir=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')")
downloads=$work/downloads
offset=$("$KIT_SOURCE_DIR/tools/one_file_payload.py" "$one" --offset)
damaged() {  # NAME: runs the download of that name; its code, its log, what is left
  local before code
  before=$(ls -A "$temp_dir" | sort)
  set +e
  wine "$downloads/$1" /VERYSILENT "/LOG=$(winepath -w "$downloads/run.log")"
  code=$?
  set -e
  [ "$code" = 100 ] || fail "$1 ended with $code, not 100"
  grep -q "설치 파일이 손상되었습니다" < <(from_wine <"$downloads/run.log") || fail "$1: no log line"
  [ "$(ls -A "$temp_dir" | sort)" = "$before" ] || fail "$1 wrote into the temporary folder"
  rm -f "$downloads/run.log"
}
rm -rf "$downloads" && mkdir -p "$downloads"
cp "$one" "$downloads/altered.exe"
printf 'X' | dd of="$downloads/altered.exe" bs=1 seek=$((offset + 100000)) conv=notrunc 2>/dev/null
if osslsigncode verify -in "$downloads/altered.exe" -CAfile "$work/certificates/signer.pem" \
  >/dev/null 2>&1; then
  fail "the altered download still verifies"
fi
damaged altered.exe
head -c $((offset + 5000000)) "$one" >"$downloads/cut.exe"
damaged cut.exe
echo "one_file_medium_test: ok"
