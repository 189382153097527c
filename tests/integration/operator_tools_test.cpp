// kiosk --check and kiosk --rewrite, run as an operator runs them: no display, real origins.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/file_origin.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_ca.h"
#include "tests/support/tls_origin.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The tools need no display and leave the user's settings alone: both are taken away.
class OperatorTools : public ::testing::Test {
protected:
    ToolRun Run(const std::vector<std::string>& arguments) {
        ChildProcess child(KIOSK_BINARY, arguments, dir.str(), (dir / "out").string(),
                           {"DISPLAY=", "WAYLAND_DISPLAY=", "XDG_CONFIG_HOME=" + (dir / "config").string()},
                           (dir / "err").string());
        std::optional<int> status;
        while (!(status = child.WaitForExit(1s))) {
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "config"));
        return {*status, ReadFile(dir / "out"), ReadFile(dir / "err")};
    }

    // A configuration whose one script replaces "hello" by "bye" on the page key.
    void ConfigureScript(const std::string& key, const std::string& extraOptions = {}) {
        WriteFile(dir / "kiosk.cfg", "[options]\nstart\nhttp://example.org/\n" + extraOptions +
                                         "[document]\nurl\n" + key + "\ntext\nhello\nreplace\nbye\n");
    }

    TempDir dir;
};

struct UsageCase {
    const char* name;
    std::string config;
    std::vector<std::string> arguments;
    int status;
    std::string out;  // a part of standard output
    std::string err;  // a part of standard error
};

class OperatorToolUsage : public OperatorTools, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(OperatorToolUsage, ExitStatusAndMessage) {
    const UsageCase& c = GetParam();
    WriteFile(dir / "kiosk.cfg", c.config);
    WriteFile(dir / "other.cfg", c.config);
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out, c.out)) << run.out;
    EXPECT_TRUE(Contains(run.err, c.err)) << run.err;
}

const std::string kSound = "[options]\nstart\nhttp://example.org/\n";

INSTANTIATE_TEST_SUITE_P(
    Commands, OperatorToolUsage,
    ::testing::Values(
        UsageCase{"SoundFile", kSound, {"--check"}, 0, "kiosk.cfg: ошибок нет\n", ""},
        UsageCase{"BrokenFile",
                  kSound + "[document]\nurl\nexample.org/\ninsert\n\n",
                  {"--check"},
                  1,
                  "ошибка: Файл kiosk.cfg: Нет обязательного параметра для оператора в строке 7\n",
                  ""},
        UsageCase{"NamedFile",
                  "[options]\nwrong\n",
                  {"--check", "other.cfg"},
                  1,
                  "ошибка: Файл other.cfg: Неизвестный оператор в строке 2",
                  ""},
        UsageCase{"RewriteWithABrokenFile",
                  "[options]\nwrong\n",
                  {"--rewrite", "http://example.org/"},
                  1,
                  "",
                  "в строке 2"},
        UsageCase{"RewriteWithoutAddress", kSound, {"--rewrite"}, 2, "", "--rewrite требует URL"},
        UsageCase{"RewriteOfAnotherScheme",
                  kSound,
                  {"--rewrite", "ftp://example.org/"},
                  2,
                  "",
                  "http:// или https://"},
        UsageCase{"UnknownOption", kSound, {"--chek"}, 2, "", "неизвестный ключ --chek"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST_F(OperatorTools, RewriteShowsThePageAsTheScriptLeavesIt) {
    FileOrigin origin;
    origin.Put("p.html", "<p>Привет, hello world</p>");
    ConfigureScript("127.0.0.1:" + std::to_string(origin.Port()) + "/p.html");
    const ToolRun run = Run({"--rewrite", origin.Url("/p.html")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "<p>Привет, bye world</p>");
    EXPECT_TRUE(Contains(run.err, "ответ источника: HTTP/1.0 200 OK\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "документ изменён")) << run.err;
    EXPECT_TRUE(Contains(run.err, "ответ браузеру: HTTP/1.0 200 OK\n")) << run.err;
}

// Once the filter reports its decisions, every step shows with what its search found.
TEST_F(OperatorTools, RewriteTracesEachStep) {
    FileOrigin origin;
    origin.Put("p.html", "<p>hello</p>");
    const std::string key = "127.0.0.1:" + std::to_string(origin.Port()) + "/p.html";
    WriteFile(dir / "kiosk.cfg", "[options]\nstart\nhttp://example.org/\n[document]\nurl\n" + key +
                                     "\ntext\nabsent\ntext\nhello\nreplace\nbye\n");
    const ToolRun run = Run({"--rewrite", origin.Url("/p.html")});
    ASSERT_EQ(run.status, 0) << run.err;
    if (!Contains(run.err, "сжатие: ")) GTEST_SKIP() << "this build's filter reports no trace";
    EXPECT_TRUE(Contains(run.err, "скрипт " + key + "\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "  шаг 0: text «absent» — не найдено\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "  шаг 1: text «hello» — найдено: байт 4\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "  шаг 2: replace «bye»\n")) << run.err;
}

TEST_F(OperatorTools, RewriteOfASavedPage) {
    ConfigureScript("shop.example/cart?x=1");
    WriteFile(dir / "saved.html", "<b>hello</b>");
    ToolRun run = Run({"--rewrite", "https://shop.example/cart?x=1", "--body", "saved.html"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "<b>bye</b>") << run.err;

    run = Run({"--rewrite", "http://elsewhere.example/", "--body", "saved.html"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "<b>hello</b>");
    EXPECT_TRUE(Contains(run.err, "скрипты не применялись")) << run.err;
}

TEST_F(OperatorTools, RewriteOfAnHttpsPageDecryptsItWithTheConfiguredCa) {
    TestCa testCa;
    TlsOrigin origin(testCa.Issue({"localhost"}));
    origin.Put("p.html", "<p>hello</p>");
    const std::string url = "https://localhost:" + std::to_string(origin.Port()) + "/p.html";
    ConfigureScript("localhost:" + std::to_string(origin.Port()) + "/p.html",
                    "cafile\n" + testCa.CaFile() + "\n");
    const ToolRun run = Run({"--rewrite", url});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "<p>bye</p>") << run.err;
}

TEST_F(OperatorTools, RewriteOfAnAddressNobodyListensOnFails) {
    ConfigureScript("127.0.0.1:1/");
    const ToolRun run = Run({"--rewrite", "http://127.0.0.1:1/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, "не удалось получить http://127.0.0.1:1/: Socket Error # 111")) << run.err;
}

}  // namespace
}  // namespace kiosk::testing
