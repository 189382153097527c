#include "tests/support/tls_origin.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "text/text_lines.h"

namespace kiosk::testing {

using namespace std::chrono_literals;

TlsOrigin::TlsOrigin(const TestCa::ServerCertificate& certificate, const std::string& address)
    : address_(address) {
    const std::string script = std::string(KIOSK_SOURCE_DIR) + "/tests/support/tls_origin.py";
    const std::filesystem::path portFile = logDir_ / "port";
    const std::filesystem::path output = logDir_ / "output.txt";
    server_ = std::make_unique<ChildProcess>(
        "/usr/bin/python3",
        std::vector<std::string>{script, certificate.certFile, certificate.keyFile, address, files_.str(),
                                 portFile.string(), (logDir_ / "requests.log").string(),
                                 (logDir_ / "handshakes.log").string()},
        files_.str(), output.string());
    // The server binds port 0 and names the port it got once it listens: no other program can take
    // the port in between, and no probe connection shows up among the handshakes.
    std::optional<int> ended;
    const bool listening = WaitUntil(
        [&] {
            std::error_code error;
            if (std::filesystem::exists(portFile, error)) return true;
            ended = server_->WaitForExit(0ms);
            return ended.has_value();
        },
        20s);
    if (!listening || ended) {
        throw std::runtime_error("the TLS origin on " + address + " did not start: " + ReadFile(output));
    }
    port_ = std::stoi(ReadFile(portFile));
}

void TlsOrigin::Put(const std::string& name, const std::string& bytes) {
    WriteFile(files_ / name, bytes);
}

std::string TlsOrigin::Url(const std::string& path) const {
    const bool v6 = address_.find(':') != std::string::npos;
    return "https://" + (v6 ? "[" + address_ + "]" : address_) + ":" + std::to_string(port_) + path;
}

std::vector<std::string> TlsOrigin::LogLines(const std::string& name) const {
    std::error_code error;
    if (!std::filesystem::exists(logDir_ / name, error)) return {};
    return SplitTextLines(ReadFile(logDir_ / name));
}

std::vector<std::string> TlsOrigin::Requests() const {
    return LogLines("requests.log");
}

int TlsOrigin::RequestsFor(const std::string& path, bool prefix) const {
    const auto requests = Requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const std::string& line) {
        const size_t space = line.find(' ');
        if (space == std::string::npos) return false;
        const std::string_view requested = std::string_view(line).substr(space + 1);
        return prefix ? requested.starts_with(path) : requested == path;
    }));
}

bool TlsOrigin::WaitForRequest(const std::string& prefix) const {
    return WaitForLineStarting([this] { return Requests(); }, prefix);
}

int TlsOrigin::Handshakes() const {
    const auto lines = LogLines("handshakes.log");
    return static_cast<int>(std::count(lines.begin(), lines.end(), "HANDSHAKE"));
}

}  // namespace kiosk::testing
