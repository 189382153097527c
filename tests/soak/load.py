"""The soak's load: concurrent clients of mixed traffic through the kiosk's proxy for a given time.

Each client repeats, in random order: a 10 KiB or 1 MiB page of the nginx origin (half of them asking
for gzip), the page a document script rewrites, a CONNECT tunnel to the origin, a POST to the echo
origin, a malformed request built from the fuzz corpus, and a client that vanishes mid-request. Every
answer to a well-formed request is checked byte for byte. The counts go to a JSON file.
"""
import argparse
import gzip
import json
import os
import random
import socket
import threading
import time

# The longest wait for the proxy's next byte: far beyond any answer here, short of a hang.
READ_LIMIT = 60

KINDS = [  # kind, weight
    ("page-10k", 25), ("page-1m", 8), ("rewrite", 15), ("connect", 15), ("post", 15),
    ("malformed", 10), ("vanish", 12),
]


class Failure(Exception):
    pass


class Unanswered(Failure):
    """The connection was reset before a byte of the answer came. The kiosk's listen queue is 15 deep:
    when a burst overflows it the kernel answers with SYN cookies, and a cookie that fails its check
    resets the connection before the proxy ever accepts it. Counted apart, within a tolerance."""


def read_to_close(sock, chunks):
    while True:
        chunk = sock.recv(65536)
        if not chunk:
            return b"".join(chunks)
        chunks.append(chunk)


def split_answer(answer):
    """Status code, lower-case header dict and body of an answer that ends with the connection."""
    head, separator, body = answer.partition(b"\r\n\r\n")
    if not separator:
        raise Failure("no complete answer head: %r" % answer[:200])
    lines = head.decode("latin-1").split("\r\n")
    parts = lines[0].split(" ", 2)
    if len(parts) < 2 or not parts[0].startswith("HTTP/"):
        raise Failure("bad status line %r" % lines[0])
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    if "content-length" in headers and int(headers["content-length"]) != len(body):
        raise Failure("Content-Length %s, body %d bytes" % (headers["content-length"], len(body)))
    return int(parts[1]), headers, body


def decoded_body(headers, body):
    return gzip.decompress(body) if headers.get("content-encoding", "").lower() == "gzip" else body


class Load:
    def __init__(self, args):
        self.proxy = ("127.0.0.1", args.proxy)
        self.origin = "127.0.0.1:%d" % args.origin
        self.echo = "127.0.0.1:%d" % args.echo
        self.pages = {name: open(os.path.join(args.www, name), "rb").read()
                      for name in ("10k.html", "1m.html")}
        self.corpus = [open(os.path.join(args.corpus, name), "rb").read()
                       for name in sorted(os.listdir(args.corpus))]
        self.deadline = time.monotonic() + args.duration
        self.lock = threading.Lock()
        self.counts = {kind: 0 for kind, _ in KINDS}
        self.gzipped = 0
        self.failed = {}  # kind -> count, well-formed requests only
        self.unanswered = {}  # kind -> count, well-formed requests reset before their answer
        self.examples = []
        self.malformed_held = 0

    def connect(self):
        sock = socket.create_connection(self.proxy, timeout=READ_LIMIT)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        return sock

    def exchange(self, request):
        """Sends request on a connection of its own and reads the answer up to the proxy's close; a
        socket error tells in which step it came."""
        step = "connecting"
        chunks = []
        try:
            with self.connect() as sock:
                step = "sending"
                sock.sendall(request)
                step = "reading the answer"
                answer = read_to_close(sock, chunks)
        except (ConnectionResetError, BrokenPipeError) as error:
            raise (Failure if chunks else Unanswered)("%s while %s" % (error, step))
        except OSError as error:
            raise Failure("%s while %s" % (error, step))
        return split_answer(answer)

    def page(self, name, rng):
        want_gzip = rng.random() < 0.5
        request = "GET http://%s/%s HTTP/1.1\r\nHost: %s\r\n%s\r\n" % (
            self.origin, name, self.origin, "Accept-Encoding: gzip\r\n" if want_gzip else "")
        status, headers, body = self.exchange(request.encode())
        if status != 200:
            raise Failure("%s: status %d" % (name, status))
        if headers.get("content-encoding") == "gzip":
            with self.lock:
                self.gzipped += 1
        if decoded_body(headers, body) != self.pages[name]:
            raise Failure("%s: the page arrived changed (%d bytes)" % (name, len(body)))

    def rewrite(self, rng):
        request = "GET http://%s/rewrite.html HTTP/1.1\r\nHost: %s\r\n%s\r\n" % (
            self.origin, self.origin, "Accept-Encoding: gzip\r\n" if rng.random() < 0.5 else "")
        status, headers, body = self.exchange(request.encode())
        text = decoded_body(headers, body)
        if status != 200 or b"origin" in text or text.count(b"kiosk") != 200:
            raise Failure("rewrite.html: status %d, not rewritten: %r" % (status, text[:120]))

    def tunnel(self, rng):
        with self.connect() as sock:
            head = b""
            try:
                sock.sendall(("CONNECT %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (self.origin, self.origin)).encode())
                while b"\r\n\r\n" not in head:
                    chunk = sock.recv(1)
                    if not chunk:
                        raise Failure("CONNECT: closed before its answer: %r" % head)
                    head += chunk
            except (ConnectionResetError, BrokenPipeError) as error:
                raise (Failure if head else Unanswered)("CONNECT: %s" % error)
            if b" 200 " not in head.split(b"\r\n")[0] + b" ":
                raise Failure("CONNECT: %r" % head[:120])
            sock.sendall(("GET /10k.html HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n\r\n" %
                          self.origin).encode())
            status, _, body = split_answer(read_to_close(sock, []))
        if status != 200 or body != self.pages["10k.html"]:
            raise Failure("tunnelled 10k.html: status %d, %d bytes" % (status, len(body)))

    def post(self, rng):
        # The query names the request in the kiosk's error log.
        target = "http://%s/echo?%d" % (self.echo, rng.getrandbits(48))
        body = rng.randbytes(rng.randint(1, 256 * 1024))
        head = "POST %s HTTP/1.1\r\nHost: %s\r\nContent-Type: application/octet-stream\r\n" \
               "Content-Length: %d\r\n\r\n" % (target, self.echo, len(body))
        try:
            status, _, answer = self.exchange(head.encode() + body)
        except Failure as failure:
            raise type(failure)("POST %s of %d bytes: %s" % (target, len(body), failure))
        if status != 200 or answer != body:
            raise Failure("POST %s of %d bytes: status %d, %d bytes back" % (target, len(body), status, len(answer)))

    def malformed(self, rng):
        """A corpus entry as the whole request, as the header block of a request, or as its target;
        the proxy must answer or close once the client has finished sending."""
        entry = rng.choice(self.corpus)
        first_line = entry.split(b"\n", 1)[0].strip()
        request = rng.choice([
            entry,
            b"GET http://" + self.origin.encode() + b"/10k.html HTTP/1.1\r\n" + entry + b"\r\n\r\n",
            b"GET " + first_line + b" HTTP/1.1\r\nHost: " + first_line + b"\r\n\r\n",
            b"CONNECT " + first_line + b" HTTP/1.1\r\n\r\n",
        ])
        with self.connect() as sock:
            sock.sendall(request)
            sock.shutdown(socket.SHUT_WR)
            try:
                read_to_close(sock, [])
            except socket.timeout:
                with self.lock:
                    self.malformed_held += 1
            except OSError:
                pass  # a reset is an answer too

    def vanish(self, rng):
        """Closes after half a request line, after half a body, or right after a whole request."""
        whole = ("POST http://%s/abandoned HTTP/1.1\r\nHost: %s\r\nContent-Length: 20000\r\n\r\n" %
                 (self.echo, self.echo)).encode() + b"x" * 20000
        cut = rng.choice([len(b"POST http://127.0.0.1"), len(whole) - 10000, len(whole)])
        with self.connect() as sock:
            sock.sendall(whole[:cut])
            if rng.random() < 0.5:  # a reset instead of a close
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")

    def one(self, kind, rng):
        if kind == "page-10k":
            self.page("10k.html", rng)
        elif kind == "page-1m":
            self.page("1m.html", rng)
        elif kind == "rewrite":
            self.rewrite(rng)
        elif kind == "connect":
            self.tunnel(rng)
        elif kind == "post":
            self.post(rng)
        elif kind == "malformed":
            self.malformed(rng)
        else:
            self.vanish(rng)

    def client(self, number):
        rng = random.Random(number)
        kinds = [kind for kind, _ in KINDS]
        weights = [weight for _, weight in KINDS]
        while time.monotonic() < self.deadline:
            kind = rng.choices(kinds, weights)[0]
            began = time.monotonic()
            error = None
            try:
                self.one(kind, rng)
            except (Failure, OSError, ValueError, EOFError, gzip.BadGzipFile) as failure:
                error = failure
            with self.lock:
                self.counts[kind] += 1
                if error is None or kind in ("malformed", "vanish"):
                    continue
                tally = self.unanswered if isinstance(error, Unanswered) else self.failed
                tally[kind] = tally.get(kind, 0) + 1
                if len(self.examples) < 20:
                    self.examples.append("%s %s %s: %s (after %.1f s)" % (
                        time.strftime("%H:%M:%S"), kind, type(error).__name__, error, time.monotonic() - began))

    def run(self, clients):
        threads = [threading.Thread(target=self.client, args=(n,)) for n in range(clients)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()


def main():
    parser = argparse.ArgumentParser()
    for name in ("proxy", "origin", "echo", "duration", "clients"):
        parser.add_argument("--" + name, type=int, required=True)
    for name in ("www", "corpus", "result"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    load = Load(args)
    started = time.time()
    load.run(args.clients)
    with open(args.result, "w") as result:
        json.dump({"start": started, "end": time.time(), "counts": load.counts, "gzipped": load.gzipped,
                   "failed": load.failed, "unanswered": load.unanswered, "examples": load.examples,
                   "malformed_held": load.malformed_held}, result, indent=1)


if __name__ == "__main__":
    main()
