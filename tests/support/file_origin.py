"""An HTTP origin for the window tests: serves the files of a directory and writes one line per request
to a log file: "METHOD PATH cache-control=VALUE". Paths under /report? are answered empty, so that a
page can report what it shows. Paths under /private/ need HTTP authentication as visitor:secret; each
of their requests adds a line "AUTH PATH yes" or "AUTH PATH no" (no credentials, answered 401).
A file NAME is sent with the raw header lines of NAME.headers instead of the guessed ones when that
file exists (its body as stored, so it may be compressed or in any charset). Each request's
Accept-Encoding and Accept-Language go to LOGFILE.headers as "PATH accept-encoding=... accept-language=...".
Requests with a page's own methods (FOO, PROPFIND) are answered empty, and their body is logged as
"BODY METHOD PATH LENGTH".
Usage: file_origin.py PORT DIRECTORY LOGFILE"""
import base64
import http.server
import os
import sys

port, directory, log_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
log = open(log_path, "a", buffering=1, encoding="utf-8")
header_log = open(log_path + ".headers", "a", buffering=1, encoding="utf-8")


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=directory, **kwargs)

    def record(self):
        log.write(f"{self.command} {self.path} cache-control={self.headers.get('Cache-Control', '')}\n")

    def do_GET(self):
        self.record()
        header_log.write(f"{self.path} accept-encoding={self.headers.get('Accept-Encoding', '')} "
                         f"accept-language={self.headers.get('Accept-Language', '')}\n")
        if self.send_with_own_headers():
            return
        if self.path.startswith("/report?"):
            self.send_response(204)
            self.end_headers()
            return
        if self.path.startswith("/private/") and not self.authenticated():
            self.send_response(401)
            self.send_header("WWW-Authenticate", 'Basic realm="private"')
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        super().do_GET()

    def do_FOO(self):
        self.record()
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        log.write(f"BODY {self.command} {self.path} {len(body)}\n")
        self.send_response(204)
        self.send_header("Access-Control-Allow-Origin", "*")
        self.end_headers()

    do_PROPFIND = do_FOO

    def send_with_own_headers(self):
        path = os.path.join(directory, self.path.split("?")[0].lstrip("/"))
        if not os.path.isfile(path + ".headers"):
            return False
        with open(path, "rb") as body_file, open(path + ".headers", "rb") as headers_file:
            body, lines = body_file.read(), headers_file.read().splitlines()
        status = lines[0] if lines and lines[0].startswith(b"HTTP/") else b"HTTP/1.0 200 OK"
        fields = [line for line in lines if not line.startswith(b"HTTP/")]
        head = [status] + fields + [b"Content-Length: %d" % len(body), b"Connection: close", b"", b""]
        self.wfile.write(b"\r\n".join(head) + body)
        self.close_connection = True
        return True

    def authenticated(self):
        expected = "Basic " + base64.b64encode(b"visitor:secret").decode()
        granted = self.headers.get("Authorization", "") == expected
        log.write(f"AUTH {self.path} {'yes' if granted else 'no'}\n")
        return granted

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()
