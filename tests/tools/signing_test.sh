#!/usr/bin/env bash
# tools/sign.sh with throwaway certificates (made here with openssl, nothing kept):
# a program signed with SHA-256, the name and URL, and an RFC 3161 timestamp from a
# local `openssl ts` server, each signature checked; a signature no longer matching a
# file once a byte of it changes; a program signed anew; and what it refuses (a name
# the prompt would show broken, a wrong password, no certificate), leaving the
# program as it was.
#   signing_test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
sign=$here/../../tools/sign.sh
. "$here/test_certificates.sh"
work=$(mktemp -d)
trap 'stop_timestamp_server; rm -rf "$work"' EXIT
make_test_certificates "$work"
start_timestamp_server "$work"
fail() { echo "FAILED: $*"; exit 1; }

cp "$build/kit/setup.exe" "$work/setup.exe"
cp "$build/kit/Halvex.exe" "$work/Halvex.exe"
out=$("$sign" --pfx "$work/signer.pfx" --password-file "$work/signer.pass" \
  --name "Byeolbit Gagyebu" --url "https://korvane.example/" --timestamp "$timestamp_url" \
  --timestamp-ca "$work/tsa.pem" "$work/setup.exe" "$work/Halvex.exe") || fail "sign.sh: $out"
echo "$out"
grep -qx "$work/setup.exe: signed (SHA-256, timestamped) and checked" <<<"$out" || fail "no timestamp"
grep -qx "$work/Halvex.exe: signed (SHA-256, timestamped) and checked" <<<"$out" || fail "Halvex.exe"

verify() { osslsigncode verify -in "$1" -CAfile "$work/signer.pem" -TSA-CAfile "$work/tsa.pem"; }
details=$(verify "$work/setup.exe") || fail "the signed setup.exe does not verify: $details"
grep -q "Message digest algorithm  : SHA256" <<<"$details" || fail "not SHA-256"
grep -q "Text description: Byeolbit Gagyebu" <<<"$details" || fail "no product name"
grep -q "URL description: https://korvane.example/" <<<"$details" || fail "no URL"
grep -q "Timestamp Server Signature verification: ok" <<<"$details" || fail "the timestamp does not verify"
grep -q "/CN=Korvane Test Timestamps" <<<"$details" || fail "not our timestamp authority"

# One byte of the program changed: the signature no longer matches it.
cp "$work/setup.exe" "$work/altered.exe"
printf '\x90' | dd of="$work/altered.exe" bs=1 seek=2000 conv=notrunc status=none
if verify "$work/altered.exe" >"$work/altered.txt" 2>&1; then fail "an altered program verifies"; fi
grep -q "MISMATCH" "$work/altered.txt" || fail "no digest mismatch: $(cat "$work/altered.txt")"

# Signed anew (one signature, not two), without a timestamp or password file.
openssl pkcs12 -in "$work/signer.pfx" -passin "file:$work/signer.pass" -nodes -out "$work/all.pem" 2>/dev/null
openssl pkcs12 -export -in "$work/all.pem" -out "$work/open.pfx" -passout pass:
out=$("$sign" --pfx "$work/open.pfx" "$work/setup.exe") || fail "signing anew: $out"
grep -qx "$work/setup.exe: signed (SHA-256) and checked" <<<"$out" || fail "signing anew: $out"
[ "$(verify "$work/setup.exe" | grep -c '^Signature Index')" = 1 ] || fail "two signatures"

# Refused, the program as it was.
before=$(sha256sum <"$work/Halvex.exe")
set +e
"$sign" --pfx "$work/signer.pfx" --password-file "$work/signer.pass" --name "별빛 가계부" \
  "$work/Halvex.exe" >"$work/refused.txt" 2>&1
[ $? = 2 ] || fail "a Korean name is not refused"
grep -q "must be ASCII" "$work/refused.txt" || fail "no reason for refusing the name"
printf 'wrong\n' >"$work/wrong.pass"
"$sign" --pfx "$work/signer.pfx" --password-file "$work/wrong.pass" "$work/Halvex.exe" >"$work/refused.txt" 2>&1
[ $? = 1 ] || fail "a wrong password does not fail"
"$sign" --pfx "$work/none.pfx" "$work/Halvex.exe" >/dev/null 2>&1
[ $? = 2 ] || fail "a missing certificate is not bad arguments"
"$sign" "$work/Halvex.exe" >/dev/null 2>&1
[ $? = 2 ] || fail "no --pfx is not bad arguments"
set -e
[ "$(sha256sum <"$work/Halvex.exe")" = "$before" ] || fail "a refused run changed the program"
echo "signing_test: ok"
