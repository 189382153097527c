"""The soak's POST origin: answers every POST with the body it received, on a loopback port."""
import http.server
import sys


class Echo(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass  # thousands of requests; the load checks every answer itself


class Server(http.server.ThreadingHTTPServer):
    request_queue_size = 128


if __name__ == "__main__":
    Server(("127.0.0.1", int(sys.argv[1])), Echo).serve_forever()
