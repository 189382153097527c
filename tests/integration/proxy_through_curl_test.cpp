// The proxy between real programs: curl as the browser, python3's http.server and nginx as origins.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/recording_proxy.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// An origin program listening on a free loopback port, serving the files of root.
class OriginProgram {
public:
    OriginProgram(const std::string& program, const std::vector<std::string>& arguments, const TempDir& dir)
        : process_(program, arguments, dir.str(),
                   (dir / (fs::path(program).filename().string() + ".out")).string()) {}
    ~OriginProgram() {
        process_.Signal(SIGTERM);
        if (!process_.WaitForExit(5s)) process_.Signal(SIGKILL);
    }
    bool Ready(int port) {
        return WaitUntil([&] { return AcceptsConnections(port); }, 10s);
    }

private:
    ChildProcess process_;
};

std::unique_ptr<OriginProgram> StartPython(const TempDir& dir, int port) {
    return std::make_unique<OriginProgram>(
        "/usr/bin/python3",
        std::vector<std::string>{"-m", "http.server", "--bind", "127.0.0.1", "--directory",
                                 (dir / "www").string(), std::to_string(port)},
        dir);
}

// nginx in the foreground, with everything it writes inside dir.
std::unique_ptr<OriginProgram> StartNginx(const TempDir& dir, int port) {
    const std::string prefix = dir.str() + "/";
    std::string config = "daemon off;\nmaster_process off;\nuser root;\n";
    config += "pid " + prefix + "nginx.pid;\nerror_log " + prefix + "nginx-error.log;\n";
    config += "events { worker_connections 64; }\nhttp {\n access_log off;\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
        config += std::string(" ") + kind + "_temp_path " + prefix + "nginx-" + kind + ";\n";
    }
    config +=
        " server {\n  listen 127.0.0.1:" + std::to_string(port) + ";\n  root " + prefix + "www;\n }\n}\n";
    WriteFile(dir / "nginx.conf", config);
    return std::make_unique<OriginProgram>(
        "/usr/sbin/nginx",
        std::vector<std::string>{"-p", prefix, "-e", prefix + "nginx-error.log", "-c", prefix + "nginx.conf"},
        dir);
}

struct ProxyThroughCurl : ::testing::Test {
    TempDir dir;
    RecordingProxy proxy;
    std::string page = "<html><body>Kiosk page</body></html>\n";
    std::string big;

    ProxyThroughCurl() {
        fs::create_directory(dir / "www");
        for (int i = 0; big.size() < 300000; ++i) big += std::to_string(i * 7919 % 1000003) + ",";
        WriteFile(dir / "www" / "index.html", page);
        WriteFile(dir / "www" / "big.txt", big);
    }

    // Runs curl through the proxy; returns its exit status. The body goes to "body", the answer's
    // head to "head".
    int Curl(std::vector<std::string> arguments) {
        const std::string port = std::to_string(proxy.server.ListeningPort());
        std::vector<std::string> all{"-s",         "-S",
                                     "--max-time", "20",
                                     "-x",         "http://127.0.0.1:" + port,
                                     "-o",         (dir / "body").string(),
                                     "-D",         (dir / "head").string()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ChildProcess curl("/usr/bin/curl", all, dir.str(), (dir / "curl.out").string());
        return curl.WaitForExit(30s).value_or(-1);
    }
    std::string Body() { return ReadFile(dir / "body"); }
    std::string Head() { return ReadFile(dir / "head"); }
};

TEST_F(ProxyThroughCurl, FetchesFromPythonsHttpServer) {
    const int port = FreePort();
    auto origin = StartPython(dir, port);
    ASSERT_TRUE(origin->Ready(port));
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    ASSERT_EQ(Curl({base + "/index.html"}), 0) << ReadFile(dir / "curl.out");
    EXPECT_EQ(Body(), page);
    EXPECT_TRUE(Head().starts_with("HTTP/1.0 200")) << Head();
    ASSERT_EQ(Curl({base + "/big.txt"}), 0) << ReadFile(dir / "curl.out");
    EXPECT_EQ(Body(), big);
    EXPECT_EQ(proxy.events.Count("server " + big), 1);

    // A HEAD answer announces the file's length but has no body.
    ASSERT_EQ(Curl({"-I", base + "/big.txt"}), 0) << ReadFile(dir / "curl.out");
    EXPECT_NE(Head().find("Content-Length: " + std::to_string(big.size())), std::string::npos) << Head();

    ASSERT_EQ(Curl({base + "/missing.html"}), 0);
    EXPECT_TRUE(Head().starts_with("HTTP/1.0 404")) << Head();
    EXPECT_TRUE(proxy.Failures().empty());
}

TEST_F(ProxyThroughCurl, FetchesFromNginxDirectlyAndThroughATunnel) {
    const int port = FreePort();
    auto origin = StartNginx(dir, port);
    ASSERT_TRUE(origin->Ready(port)) << ReadFile(dir / "nginx-error.log");
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    ASSERT_EQ(Curl({base + "/big.txt?x=1"}), 0) << ReadFile(dir / "curl.out");
    EXPECT_EQ(Body(), big);
    EXPECT_TRUE(Head().starts_with("HTTP/1.1 200")) << Head();

    // nginx refuses a POST to a file; the document hook saw the request's head, its body passed.
    ASSERT_EQ(Curl({"--data", "a=1&b=2", base + "/index.html"}), 0) << ReadFile(dir / "curl.out");
    EXPECT_TRUE(Head().starts_with("HTTP/1.1 405")) << Head();
    EXPECT_EQ(proxy.events.Count("client "), 1);

    // -p: curl asks for a CONNECT tunnel and speaks HTTP inside it.
    ASSERT_EQ(Curl({"-p", base + "/index.html"}), 0) << ReadFile(dir / "curl.out");
    EXPECT_EQ(Body(), page);
    EXPECT_TRUE(WaitUntil([&] { return proxy.server.ConnectionThreads() == 0; }, 5s));
    for (const std::string& failure : proxy.Failures())
        EXPECT_EQ(failure, "failure Connection Closed Gracefully.");
}

}  // namespace
}  // namespace kiosk::testing
