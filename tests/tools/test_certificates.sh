# Sourced by the signing tests: throwaway certificates made with openssl, never kept.
#   make_test_certificates DIR   makes in DIR:
#     signer.pfx, signer.pass  a self-signed code-signing certificate with its key,
#                              the password in the file
#     tsa.pem, tsa.key, ts.cnf a timestamp authority for `openssl ts -reply`
#                              (timestamp_server.py answers with it)
make_test_certificates() {
  local dir=$1
  openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Korvane Test Signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$dir/signer.key" -out "$dir/signer.pem" \
    2>/dev/null
  printf 'test-only password\n' >"$dir/signer.pass"
  openssl pkcs12 -export -inkey "$dir/signer.key" -in "$dir/signer.pem" -out "$dir/signer.pfx" \
    -passout "file:$dir/signer.pass"
  openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Korvane Test Timestamps" \
    -addext "extendedKeyUsage=critical,timeStamping" -keyout "$dir/tsa.key" -out "$dir/tsa.pem" \
    2>/dev/null
  echo 01 >"$dir/tsa.serial"
  cat >"$dir/ts.cnf" <<CNF
[ tsa ]
default_tsa = test_tsa
[ test_tsa ]
serial = $dir/tsa.serial
crypto_device = builtin
signer_cert = $dir/tsa.pem
certs = $dir/tsa.pem
signer_key = $dir/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = yes
ess_cert_id_chain = no
ess_cert_id_alg = sha256
CNF
}

# start_timestamp_server DIR   starts timestamp_server.py on a loopback port it picks,
#                              waits until it listens and sets timestamp_url; stopped
#                              by stop_timestamp_server
start_timestamp_server() {
  local dir=$1 here
  here=$(dirname "${BASH_SOURCE[0]}")
  exec {timestamp_fd}< <(exec /usr/bin/python3 "$here/timestamp_server.py" "$dir/ts.cnf" 2>"$dir/tsa.log")
  timestamp_pid=$!
  local port=""
  # The server prints its port once it listens; the bound only ends a hang.
  read -r -t 60 -u "$timestamp_fd" port || { echo "the timestamp server did not start"; return 1; }
  timestamp_url="http://127.0.0.1:$port/"
}

stop_timestamp_server() {
  if [ -n "${timestamp_pid:-}" ]; then
    kill "$timestamp_pid" 2>/dev/null || true
    wait "$timestamp_pid" 2>/dev/null || true  # its status is the signal's, 143
    timestamp_pid=""
  fi
  return 0
}
