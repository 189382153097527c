// The built program, started as an operator would start it, in directories of its own.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/kiosk_run.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

using ProgramRun = KioskRun;

TEST_F(ProgramRun, InAnEmptyDirectoryItIsOutOfOrderAndStopsCleanly) {
    Start();
    ASSERT_TRUE(WaitForMessage(".err", "Не работает"));
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), (Messages{"Файл kiosk.cfg: Ошибка чтения", "Не работает"}));
    EXPECT_EQ(LogMessages(dir.path(), ".log"), Messages{});
    // windows-1251 bytes, no byte-order mark, CR LF line ends.
    const std::string bytes = ReadFile(dir / TodaysLogName(".err"));
    EXPECT_EQ(bytes.substr(0, 1), "[");
    EXPECT_NE(bytes.find("\xCD\xE5 \xF0\xE0\xE1\xEE\xF2\xE0\xE5\xF2\r\n"), std::string::npos);
}

class ProgramStopSignal : public KioskRun, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramStopSignal, ItRunsUntilSignalledAndShutsDown) {
    WriteFile(dir / "kiosk.cfg", "\xEF\xBB\xBF" + RunningConfig());
    Start();
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    EXPECT_FALSE(child->WaitForExit(300ms).has_value()) << "it must keep running until told to stop";
    EXPECT_EQ(Stop(GetParam()), 0);
    // Pages the browser completed in between (the blank page of the shutdown among them) are left out.
    Messages messages = LogMessages(dir.path(), ".log");
    std::erase_if(messages, [](const std::string& m) { return m.starts_with("Загружен документ: "); });
    EXPECT_EQ(messages, (Messages{"Начало работы", "Завершение работы"}));
    EXPECT_EQ(LogMessages(dir.path(), ".err"), Messages{});
    // The user's proxy setting was pointed at the kiosk and is back as it was (a new user's).
    EXPECT_EQ(ReadFile(config / "kiosk-shell" / "user-settings"), kNewUsersProxySetting);
}

TEST_F(ProgramRun, WhileRunningTheUsersProxyPointsAtTheKiosk) {
    WriteFile(dir / "kiosk.cfg", RunningConfig());
    Start();
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    EXPECT_NE(ReadFile(config / "kiosk-shell" / "user-settings")
                  .find("ProxyServer=sz:127.0.0.1:" + std::to_string(proxyPort) + "\n"),
              std::string::npos);
    EXPECT_EQ(Stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramStopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM  ? "SIGTERM"
                                                : info.param == SIGINT ? "SIGINT"
                                                                       : "SIGHUP");
                         });

TEST_F(ProgramRun, ACopyElsewhereReadsTheConfigurationNamedAfterItself) {
    TempDir bin;
    for (const char* name : {"terminal", "terminal.exe"}) {
        fs::copy_file(KIOSK_BINARY, bin / name);
        fs::permissions(bin / name, fs::perms::owner_all);
    }
    // The program's own directory holds a configuration too: only the current directory counts.
    WriteFile(bin / "terminal.cfg", RunningConfig());

    Start((bin / "terminal").string());
    ASSERT_TRUE(WaitForMessage(".err", "Не работает"));
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), (Messages{"Файл terminal.cfg: Ошибка чтения", "Не работает"}));

    // A name ending in a dot and three characters loses them, as ".exe" does.
    WriteFile(dir / "terminal.cfg", RunningConfig());
    Start((bin / "terminal.exe").string());
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(ProgramRun, ALogThatCannotBeWrittenIsReportedAndTheProgramStillStopsCleanly) {
    fs::create_directory(dir / TodaysLogName(".err"));
    Start();
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(Output()).find("Киоск: ") != std::string::npos; }, 20s));
    EXPECT_NE(ReadFile(Output()).find(TodaysLogName(".err")), std::string::npos);
    EXPECT_FALSE(child->WaitForExit(300ms).has_value());
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
