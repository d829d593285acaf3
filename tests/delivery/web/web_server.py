"""An upload server for the web delivery tests: every POST is stored whole (headers and body)
in OUTDIR as N.headers and N.body, and answered by its path: /moved gives 302, /fail 500,
anything else 200. With CERT and KEY it speaks HTTPS.
web_server.py OUTDIR PORT [CERT KEY]"""
import http.server
import os
import ssl
import sys

outdir, port = sys.argv[1], int(sys.argv[2])
os.makedirs(outdir, exist_ok=True)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        n = len([f for f in os.listdir(outdir) if f.endswith(".body")])
        with open(os.path.join(outdir, "%d.headers" % n), "w") as f:
            f.write("POST %s\n" % self.path)
            for key, value in self.headers.items():
                f.write("%s: %s\n" % (key, value))
        with open(os.path.join(outdir, "%d.body" % n), "wb") as f:
            f.write(body)
        if self.path.startswith("/moved"):
            self.reply(302, "Found", [("Location", "http://127.0.0.1/elsewhere")])
        elif self.path.startswith("/fail"):
            self.reply(500, "Internal Server Error")
        else:
            self.reply(200, "OK")

    def reply(self, code, text, headers=()):
        payload = b"stored\n"
        self.send_response(code, text)
        for key, value in headers:
            self.send_header(key, value)
        self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        self.wfile.write(payload)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
if len(sys.argv) > 4:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[3], sys.argv[4])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print("ready", flush=True)
server.serve_forever()
