#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_ca.h"

namespace kiosk::testing {

// A real HTTPS server (Python's http.server over TLS, HTTP/1.1 with keep-alive) on a free port of a
// loopback address, presenting certificate and serving the files of its own directory. It records every
// request as "METHOD PATH" (the query included) and counts its completed TLS handshakes; a client that
// refuses the certificate ends only its own connection. Besides files it answers:
//   /status/NNN    status NNN (200 to 599) with the page "<html><body>status NNN</body></html>"
//   /echo-headers  200 text/plain with the request line and header fields it received
//   /websocket     a WebSocket handshake, then each message sent back until the client closes
class TlsOrigin {
public:
    // address: an IPv4 or IPv6 loopback address. Throws std::runtime_error with the server's output
    // when it does not listen within 20 s.
    explicit TlsOrigin(const TestCa::ServerCertificate& certificate,
                       const std::string& address = "127.0.0.1");

    void Put(const std::string& name, const std::string& bytes);
    // Where the file of that name is served from.
    std::filesystem::path Path(const std::string& name) const { return files_ / name; }
    int Port() const { return port_; }
    const std::string& Address() const { return address_; }
    // "https://ADDRESS:PORT" + path, an IPv6 address in brackets.
    std::string Url(const std::string& path) const;
    std::vector<std::string> Requests() const;
    // How many requests so far, of any method, were for path (the query included), or with prefix for
    // every path that starts with it.
    int RequestsFor(const std::string& path, bool prefix = false) const;
    // Waits up to 20 s until a request line starts with prefix.
    bool WaitForRequest(const std::string& prefix) const;
    // How many TLS handshakes completed so far: one per connection that got as far as HTTP.
    int Handshakes() const;

private:
    std::vector<std::string> LogLines(const std::string& name) const;

    std::string address_;
    TempDir files_;
    TempDir logDir_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> server_;
};

// The WebSocket client script the tests run with /usr/bin/python3 (see the script for its arguments
// and output).
inline std::string WebSocketClientScript() {
    return std::string(KIOSK_SOURCE_DIR) + "/tests/support/websocket_client.py";
}

// What that script prints after the proxy's line (if any) when the origin's /websocket echoes: the
// 101 answer, the accept value of RFC 6455's example key, both messages, and the close with status
// 1000.
inline std::string WebSocketEchoTranscript() {
    std::string longMessage;
    for (int i = 0; i < 300; ++i) longMessage += static_cast<char>('a' + i % 26);
    return "HTTP/1.1 101 Switching Protocols\n"
           "accept ['s3pPLMBiTxaQ9kYGzzhZRbK+xOo=']\n"
           "1 hello\n"
           "1 " +
           longMessage + "\n8 03e8\nend\n";
}

}  // namespace kiosk::testing
