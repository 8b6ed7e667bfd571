#!/usr/bin/env bash
# Signs programs with a code-signing certificate (Authenticode, SHA-256) through
# osslsigncode, and checks each signature against the signed file before the file
# takes the signed one's place.
#
#   tools/sign.sh --pfx FILE [--password-file FILE] [--name TEXT] [--url URL]
#                 [--timestamp URL] [--timestamp-ca FILE] EXE...
#
#   --pfx FILE            the certificate with its private key (PKCS #12, .pfx/.p12)
#   --password-file FILE  the file holding the key's password (its first line)
#   --name TEXT           the product's name in the signature: the administrator prompt
#                         shows it. ASCII only: osslsigncode stores it as an ASCII
#                         string, which Windows shows broken for any other letter.
#   --url URL             the distributor's address in the signature
#   --timestamp URL       an RFC 3161 timestamp server: the signature stays valid after
#                         the certificate expires
#   --timestamp-ca FILE   the timestamp server's root certificate, when the system's
#                         certificate store does not hold it (a test server)
#
# A program already signed is signed anew. "Checked" means that the signature matches
# the file and was made with the certificate's key (its chain ends at the certificate
# itself or at a root the system knows), not that Windows trusts the signer. Exit
# code 0 when every program was signed, 1 when one was not (it is left as it was),
# 2 for bad arguments.
set -euo pipefail

usage="usage: tools/sign.sh --pfx FILE [--password-file FILE] [--name TEXT] [--url URL] [--timestamp URL] [--timestamp-ca FILE] EXE..."
pfx="" password_file="" name="" url="" timestamp="" timestamp_ca=""
programs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --pfx|--password-file|--name|--url|--timestamp|--timestamp-ca)
      [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
      case "$1" in
        --pfx) pfx=$2 ;;
        --password-file) password_file=$2 ;;
        --name) name=$2 ;;
        --url) url=$2 ;;
        --timestamp) timestamp=$2 ;;
        --timestamp-ca) timestamp_ca=$2 ;;
      esac
      shift 2 ;;
    -*) echo "tools/sign.sh: unknown option $1" >&2; echo "$usage" >&2; exit 2 ;;
    *) programs+=("$1"); shift ;;
  esac
done
[ -n "$pfx" ] && [ ${#programs[@]} -gt 0 ] || { echo "$usage" >&2; exit 2; }
[ -f "$pfx" ] || { echo "tools/sign.sh: no certificate file $pfx" >&2; exit 2; }
[ -z "$password_file" ] || [ -f "$password_file" ] ||
  { echo "tools/sign.sh: no password file $password_file" >&2; exit 2; }
[ -z "$timestamp_ca" ] || [ -f "$timestamp_ca" ] ||
  { echo "tools/sign.sh: no certificate file $timestamp_ca" >&2; exit 2; }
if LC_ALL=C grep -q '[^ -~]' <<<"$name"; then
  echo "tools/sign.sh: --name must be ASCII (osslsigncode stores it as ASCII, and the" >&2
  echo "administrator prompt would show other letters broken): $name" >&2
  exit 2
fi
for program in "${programs[@]}"; do
  [ -f "$program" ] || { echo "tools/sign.sh: no such program $program" >&2; exit 2; }
done
command -v osslsigncode >/dev/null ||
  { echo "tools/sign.sh: osslsigncode is missing (tools/install-deps.sh installs it)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
password=(-pass "")
[ -n "$password_file" ] && password=(-readpass "$password_file")
# The roots a signature is checked against: the certificate's own chain and the system's.
pass_in=(-passin pass:)
[ -n "$password_file" ] && pass_in=(-passin "file:$password_file")
if ! openssl pkcs12 -in "$pfx" -nokeys "${pass_in[@]}" -out "$work/chain.pem" 2>"$work/openssl.txt" &&
   ! openssl pkcs12 -legacy -in "$pfx" -nokeys "${pass_in[@]}" -out "$work/chain.pem" 2>>"$work/openssl.txt"; then
  echo "tools/sign.sh: cannot read $pfx (a wrong password?):" >&2
  sed 's/^/  /' "$work/openssl.txt" >&2
  exit 1
fi
system_roots=/etc/ssl/certs/ca-certificates.crt
cat "$work/chain.pem" >"$work/roots.pem"
[ -f "$system_roots" ] && cat "$system_roots" >>"$work/roots.pem"
: >"$work/tsa-roots.pem"
[ -f "$system_roots" ] && cat "$system_roots" >>"$work/tsa-roots.pem"
[ -n "$timestamp_ca" ] && cat "$timestamp_ca" >>"$work/tsa-roots.pem"

options=(-pkcs12 "$pfx" "${password[@]}" -h sha256)
[ -n "$name" ] && options+=(-n "$name")
[ -n "$url" ] && options+=(-i "$url")
[ -n "$timestamp" ] && options+=(-ts "$timestamp")

status=0
for program in "${programs[@]}"; do
  signed=$work/signed.exe
  rm -f "$signed"
  if ! osslsigncode sign "${options[@]}" -in "$program" -out "$signed" >"$work/sign.txt" 2>&1; then
    echo "$program: not signed:"; sed 's/^/  /' "$work/sign.txt"
    status=1; continue
  fi
  if ! osslsigncode verify -in "$signed" -CAfile "$work/roots.pem" \
       -TSA-CAfile "$work/tsa-roots.pem" >"$work/verify.txt" 2>&1; then
    echo "$program: the signature does not check out, the program is left as it was:"
    sed 's/^/  /' "$work/verify.txt"
    status=1; continue
  fi
  stamped=""
  grep -q '^Timestamp Server Signature verification: ok' "$work/verify.txt" && stamped=", timestamped"
  if [ -n "$timestamp" ] && [ -z "$stamped" ]; then
    echo "$program: the signature carries no timestamp that checks out; left as it was"
    status=1; continue
  fi
  # Into place through a copy beside it, so a failure never leaves half a program.
  cp "$signed" "$program.signing" && mv -f "$program.signing" "$program"
  echo "$program: signed (SHA-256$stamped) and checked"
done
exit "$status"
