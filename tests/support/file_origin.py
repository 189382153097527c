"""An HTTP origin for the window tests: serves the files of a directory and writes one line per request
to a log file: "METHOD PATH cache-control=VALUE". Paths under /report? are answered empty, so that a
page can report what it shows. Paths under /private/ need HTTP authentication as visitor:secret; each
of their requests adds a line "AUTH PATH yes" or "AUTH PATH no" (no credentials, answered 401).
Usage: file_origin.py PORT DIRECTORY LOGFILE"""
import base64
import http.server
import sys

port, directory, log_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
log = open(log_path, "a", buffering=1, encoding="utf-8")


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=directory, **kwargs)

    def record(self):
        log.write(f"{self.command} {self.path} cache-control={self.headers.get('Cache-Control', '')}\n")

    def do_GET(self):
        self.record()
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

    def authenticated(self):
        expected = "Basic " + base64.b64encode(b"visitor:secret").decode()
        granted = self.headers.get("Authorization", "") == expected
        log.write(f"AUTH {self.path} {'yes' if granted else 'no'}\n")
        return granted

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()
