#include "tests/support/file_origin.h"

#include <algorithm>

#include "tests/support/loopback_peers.h"
#include "text/text_lines.h"

namespace kiosk::testing {

FileOrigin::FileOrigin() : port_(FreePort()) {
    const std::string script = std::string(KIOSK_SOURCE_DIR) + "/tests/support/file_origin.py";
    server_ =
        std::make_unique<ChildProcess>("/usr/bin/python3",
                                       std::vector<std::string>{script, std::to_string(port_), files_.str(),
                                                                (logDir_ / "requests.log").string()},
                                       files_.str(), (logDir_ / "output.txt").string());
    WaitUntil([&] { return AcceptsConnections(port_); }, 20s);
}

void FileOrigin::Put(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((files_ / name).parent_path());
    WriteFile(files_ / name, bytes);
}

std::string FileOrigin::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> FileOrigin::Requests() const {
    std::error_code error;
    if (!std::filesystem::exists(logDir_ / "requests.log", error)) return {};
    return SplitTextLines(ReadFile(logDir_ / "requests.log"));
}

std::vector<std::string> FileOrigin::RequestHeaders() const {
    std::error_code error;
    if (!std::filesystem::exists(logDir_ / "requests.log.headers", error)) return {};
    return SplitTextLines(ReadFile(logDir_ / "requests.log.headers"));
}

int FileOrigin::RequestsFor(const std::string& path, bool prefix) const {
    const auto requests = Requests();
    const std::string start = "GET " + path + (prefix ? "" : " ");
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [&](const std::string& line) { return line.starts_with(start); }));
}

bool FileOrigin::WaitForRequest(const std::string& prefix) const {
    return WaitForLineStarting([this] { return Requests(); }, prefix);
}

std::string DecodedReport(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace kiosk::testing
