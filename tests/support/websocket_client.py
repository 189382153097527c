"""A WebSocket client for the tests: the handshake with the key of RFC 6455's example, then a short
message, one of 300 bytes (the 16-bit length form), and a close with status 1000. It prints the status
line, the accept value, and each frame it gets back as "OPCODE PAYLOAD" (a payload that is not text in
hex), then "end" when the server closes. Usage: websocket_client.py CAFILE HOST PORT [PROXY_PORT]; with
a proxy port it first asks the proxy on 127.0.0.1 for a CONNECT tunnel and prints its status line."""
import socket, ssl, struct, sys
ca, host, port = sys.argv[1], sys.argv[2], int(sys.argv[3])
context = ssl.create_default_context(cafile=ca)
if len(sys.argv) > 4:
    # Through an HTTP proxy: a CONNECT tunnel first.
    plain = socket.create_connection(("127.0.0.1", int(sys.argv[4])), timeout=5)
    plain.sendall(("CONNECT %s:%d HTTP/1.1\r\nHost: %s:%d\r\n\r\n" % (host, port, host, port)).encode())
    answer = b""
    while not answer.endswith(b"\r\n\r\n"):
        piece = plain.recv(1)
        if not piece:
            sys.exit("the proxy closed the connection")
        answer += piece
    print(answer.split(b"\r\n")[0].decode())
else:
    plain = socket.create_connection((host, port), timeout=5)
connection = context.wrap_socket(plain, server_hostname=host)
connection.sendall(("GET /websocket HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n"
                    % (host, port)).encode())
stream = connection.makefile("rb")
head = []
while True:
    line = stream.readline().decode().rstrip("\r\n")
    if not line:
        break
    head.append(line)
print(head[0])
print("accept", [l.split(":", 1)[1].strip() for l in head if l.lower().startswith("sec-websocket-accept:")])

def send(opcode, payload):
    mask = b"\x37\xfa\x21\x3d"
    if len(payload) < 126:
        length = bytes([0x80 | len(payload)])
    else:
        length = bytes([0x80 | 126]) + struct.pack("!H", len(payload))
    masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
    connection.sendall(bytes([0x80 | opcode]) + length + mask + masked)

def receive():
    start = stream.read(2)
    if len(start) < 2:
        return False
    length = start[1] & 0x7F
    if length == 126:
        length = struct.unpack("!H", stream.read(2))[0]
    opcode, payload = start[0] & 0x0F, stream.read(length)
    shown = payload.decode() if opcode == 1 else payload.hex()
    print(str(opcode) + (" masked" if start[1] & 0x80 else ""), shown)
    return True

send(1, b"hello")
receive()
send(1, bytes(ord("a") + i % 26 for i in range(300)))
receive()
send(8, struct.pack("!H", 1000))
while receive():
    pass
print("end")
