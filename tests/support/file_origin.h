#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {

// A real HTTP server (Python's http.server) on a free loopback port, serving the files of its own
// directory and recording every request as "GET /path cache-control=...". Requests for /report?TEXT
// are answered with no content: pages send what they show there.
class FileOrigin {
public:
    FileOrigin();
    void Put(const std::string& name, const std::string& bytes);
    // Where the file of that name is served from.
    std::filesystem::path Path(const std::string& name) const { return files_ / name; }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    std::vector<std::string> Requests() const;
    // One line per request: "PATH accept-encoding=VALUE accept-language=VALUE".
    std::vector<std::string> RequestHeaders() const;
    // How many requests so far were for path (the query included), or with prefix for every path
    // that starts with it.
    int RequestsFor(const std::string& path, bool prefix = false) const;
    // Waits up to 20 s until a request line starts with prefix.
    bool WaitForRequest(const std::string& prefix) const;

private:
    TempDir files_;
    TempDir logDir_;
    int port_;
    std::unique_ptr<ChildProcess> server_;
};

// A reported text as the page encoded it (encodeURIComponent), decoded.
std::string DecodedReport(const std::string& text);

}  // namespace kiosk::testing
