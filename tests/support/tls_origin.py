"""An HTTPS origin for the tests: serves the files of a directory over TLS with HTTP/1.1 keep-alive, and
writes one line per request ("METHOD PATH") to a log file and one line "HANDSHAKE" per completed TLS
handshake to another. A client that refuses the certificate ends only its own connection.

Extra paths:
  /status/NNN     answers status NNN (200 to 599) with a small HTML page
  /echo-headers   answers the request line and header fields it received, as text/plain
  /events        one event, the second once the file "go" is in the directory; ends with the close
  /echo-body      (POST, FOO, PROPFIND) answers the request's body, as text/plain
  /websocket      a WebSocket handshake, then every message back until the client closes

Once it listens, it writes its port to PORTFILE.
Usage: tls_origin.py CERTFILE KEYFILE ADDRESS DIRECTORY PORTFILE REQUESTLOG HANDSHAKELOG"""
import base64
import hashlib
import http.server
import os
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time

cert_file, key_file, address, directory, port_path, request_log_path, handshake_log_path = sys.argv[1:8]

WEBSOCKET_GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
HANDSHAKE_TIMEOUT = 10


class Log:
    """A line log that several handler threads write to; every line is on disk once written."""

    def __init__(self, path):
        self.file = open(path, "a", encoding="utf-8")
        self.lock = threading.Lock()

    def write(self, line):
        with self.lock:
            self.file.write(line + "\n")
            self.file.flush()


requests = Log(request_log_path)
handshakes = Log(handshake_log_path)

context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert_file, key_file)
context.set_alpn_protocols(["http/1.1"])


def read_exactly(stream, size):
    data = stream.read(size)
    if data is None or len(data) < size:
        raise EOFError
    return data


def websocket_frame(opcode, payload):
    head = bytes([0x80 | opcode])
    if len(payload) < 126:
        head += bytes([len(payload)])
    elif len(payload) < 65536:
        head += bytes([126]) + struct.pack("!H", len(payload))
    else:
        head += bytes([127]) + struct.pack("!Q", len(payload))
    return head + payload


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=directory, **kwargs)

    def parse_request(self):
        if not super().parse_request():
            return False
        requests.write(f"{self.command} {self.path}")
        return True

    def discard_body(self):
        """Reads the request's body so that the next request on the connection starts where it should,
        and returns it. A chunked body is not read: the connection closes after the answer instead."""
        body = b""
        if "Transfer-Encoding" in self.headers:
            self.close_connection = True
            return body
        length = self.headers.get("Content-Length", "0")
        if not length.isdigit():
            self.close_connection = True
            return body
        remaining = int(length)
        while remaining > 0:
            piece = self.rfile.read(min(remaining, 65536))
            if not piece:
                self.close_connection = True
                return body
            body += piece
            remaining -= len(piece)
        return body

    def answer(self, status, content_type, body):
        self.send_response(status)
        if status in (204, 205, 304):
            # Answers that never have a body; 205 says so explicitly.
            if status == 205:
                self.send_header("Content-Length", "0")
            self.end_headers()
            return
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        if self.close_connection:
            self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def status(self, path):
        code = path[len("/status/"):]
        if not (len(code) == 3 and code.isdigit() and 200 <= int(code) <= 599):
            self.answer(400, "text/html", b"<html><body>bad status</body></html>")
            return
        self.answer(int(code), "text/html", f"<html><body>status {code}</body></html>".encode())

    def echo_headers(self):
        head = self.raw_requestline.decode("iso-8859-1").rstrip("\r\n") + "\r\n"
        for name, value in self.headers.raw_items():
            head += f"{name}: {value}\r\n"
        self.answer(200, "text/plain", (head + "\r\n").encode("iso-8859-1"))

    def events(self):
        """An answer that ends with the connection: one event at once, the second only once the file
        "go" is in the directory (the client has shown it holds the first), or "late" after 10 s."""
        self.close_connection = True
        self.send_response(200)
        self.send_header("Content-Type", "text/event-stream")
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(b"event: first\n\n")
        self.wfile.flush()
        go = os.path.join(directory, "go")
        for _ in range(100):
            if os.path.exists(go):
                break
            time.sleep(0.1)
        self.wfile.write(b"event: second\n\n" if os.path.exists(go) else b"late")

    def websocket(self):
        key = self.headers.get("Sec-WebSocket-Key")
        if self.headers.get("Upgrade", "").lower() != "websocket" or not key:
            self.close_connection = True
            self.answer(400, "text/html", b"<html><body>not a websocket handshake</body></html>")
            return
        accept = base64.b64encode(hashlib.sha1((key.strip() + WEBSOCKET_GUID).encode()).digest()).decode()
        self.send_response(101, "Switching Protocols")
        self.send_header("Upgrade", "websocket")
        self.send_header("Connection", "Upgrade")
        self.send_header("Sec-WebSocket-Accept", accept)
        self.end_headers()
        self.close_connection = True
        try:
            self.echo_frames()
        except (EOFError, OSError):
            pass

    def echo_frames(self):
        while True:
            first, second = read_exactly(self.rfile, 2)
            opcode, length = first & 0x0F, second & 0x7F
            if length == 126:
                length = struct.unpack("!H", read_exactly(self.rfile, 2))[0]
            elif length == 127:
                length = struct.unpack("!Q", read_exactly(self.rfile, 8))[0]
            mask = read_exactly(self.rfile, 4) if second & 0x80 else bytes(4)
            payload = bytes(b ^ mask[i % 4] for i, b in enumerate(read_exactly(self.rfile, length)))
            if opcode == 0x8:
                self.wfile.write(websocket_frame(0x8, payload[:2]))
                return
            if opcode == 0x9:
                self.wfile.write(websocket_frame(0xA, payload))
            elif opcode == 0x2:
                self.wfile.write(websocket_frame(0x2, payload))
            elif opcode != 0xA:
                self.wfile.write(websocket_frame(0x1, payload))

    def route(self):
        path = self.path.split("?", 1)[0]
        if path.startswith("/status/"):
            self.status(path)
        elif path == "/echo-headers":
            self.echo_headers()
        elif path == "/websocket" and self.command == "GET":
            self.websocket()
        elif path == "/events":
            self.events()
        else:
            return False
        return True

    def do_GET(self):
        self.discard_body()
        if not self.route():
            super().do_GET()

    def do_HEAD(self):
        self.discard_body()
        if not self.route():
            super().do_HEAD()

    def do_POST(self):
        body = self.discard_body()
        if self.path == "/echo-body":
            self.answer(200, "text/plain", body or b"")
        elif not self.route():
            self.close_connection = True
            self.answer(405, "text/html", b"<html><body>method not allowed</body></html>")

    do_FOO = do_POST  # a page's own methods, with a body
    do_PROPFIND = do_POST

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    address_family = socket.AF_INET6 if ":" in address else socket.AF_INET
    daemon_threads = True
    request_queue_size = 512  # tests open hundreds of connections at once

    def server_bind(self):
        # HTTPServer's own binding also looks up the address's name, which can wait long for a DNS
        # server that is not there.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def get_request(self):
        connection, client = self.socket.accept()
        # The handshake happens on the connection's own thread, so that a slow or refusing client holds
        # up nobody else.
        return context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False), client

    def finish_request(self, request, client_address):
        try:
            request.settimeout(HANDSHAKE_TIMEOUT)
            request.do_handshake()
            request.settimeout(None)
        except (ssl.SSLError, OSError):
            return
        handshakes.write("HANDSHAKE")
        super().finish_request(request, client_address)

    def handle_error(self, request, client_address):
        # A client that goes away in the middle is no fault of the origin's.
        if not isinstance(sys.exc_info()[1], OSError):
            super().handle_error(request, client_address)


server = Server((address, 0), Handler)
with open(port_path + ".part", "w", encoding="utf-8") as port_file:
    port_file.write(str(server.server_address[1]))
os.replace(port_path + ".part", port_path)
server.serve_forever()
