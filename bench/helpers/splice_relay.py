#!/usr/bin/env python3
"""The least a relay can do for a plain HTTP download: one thread per browser connection, the request
head sent on to the origin with its path, and the answer moved from socket to socket through a pipe
(splice), with no parsing, no logging and no limits. The large-download benchmark runs it beside the
kiosk, so that the kiosk's figures can be read against the cost of any extra hop on the machine.

usage: splice_relay.py PORT ORIGIN_PORT
"""
import fcntl
import os
import socket
import sys
import threading

F_SETPIPE_SZ = 1031
PIECE = 1 << 20


def serve(browser, origin_port):
    with browser:
        head = b""
        while b"\r\n\r\n" not in head:
            piece = browser.recv(65536)
            if not piece:
                return
            head += piece
        line, rest = head.split(b"\r\n", 1)
        method, url, _ = line.split(b" ")
        path = b"/" + url.split(b"/", 3)[3]
        with socket.create_connection(("127.0.0.1", origin_port)) as origin:
            origin.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            origin.sendall(method + b" " + path + b" HTTP/1.0\r\n" + rest)
            read_end, write_end = os.pipe()
            try:
                fcntl.fcntl(write_end, F_SETPIPE_SZ, PIECE)
                while True:
                    count = os.splice(origin.fileno(), write_end, PIECE)
                    if count == 0:
                        break
                    while count:
                        count -= os.splice(read_end, browser.fileno(), count)
            finally:
                os.close(read_end)
                os.close(write_end)


def main():
    port, origin_port = int(sys.argv[1]), int(sys.argv[2])
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(16)
    while True:
        browser, _ = listener.accept()
        threading.Thread(target=serve, args=(browser, origin_port), daemon=True).start()


if __name__ == "__main__":
    main()
