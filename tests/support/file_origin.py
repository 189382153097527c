"""An HTTP origin for the window tests: serves the files of a directory and writes one line per request
to a log file: "METHOD PATH cache-control=VALUE". Paths under /report? are answered empty, so that a
page can report what it shows. Usage: file_origin.py PORT DIRECTORY LOGFILE"""
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
        super().do_GET()

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()
