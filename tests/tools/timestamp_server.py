"""An RFC 3161 timestamp server on loopback for the signing tests.

    timestamp_server.py TS_CONFIG

Answers every POST (a timestamp request) with `openssl ts -reply` under the
configuration's authority; prints the port it listens on, then serves until killed.
"""
import http.server
import subprocess
import sys
import tempfile


class Stamp(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.NamedTemporaryFile(suffix=".tsq") as request:
            request.write(query)
            request.flush()
            reply = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1],
                                    "-queryfile", request.name],
                                   capture_output=True).stdout
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        sys.stderr.write(self.address_string() + " " + (args[0] % args[1:]) + "\n")


server = http.server.HTTPServer(("127.0.0.1", 0), Stamp)
print(server.server_address[1], flush=True)
server.serve_forever()
