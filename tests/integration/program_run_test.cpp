// The built program, started as an operator would start it, in directories of its own.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "text/cp1251.h"
#include "text/text_lines.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

// The messages of every daily file of one kind in dir, without their times, oldest file first.
Messages LogMessages(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == extension && entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    Messages messages;
    for (const auto& file : files) {
        for (const std::string& line : SplitTextLines(Cp1251ToUtf8(ReadFile(file)))) {
            EXPECT_EQ(line.substr(0, 1), "[");
            messages.push_back(line.substr(line.find("] ") + 2));
        }
    }
    return messages;
}

std::string TodaysName(const std::string& extension) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::strftime(name, sizeof name, "%d.%m.%Y", &local);
    return name + extension;
}

class ProgramRun : public ::testing::Test {
protected:
    // Starts program (the built kiosk unless given) in the run directory.
    void Start(const std::string& program = KIOSK_BINARY) {
        child_ = std::make_unique<ChildProcess>(program, std::vector<std::string>{}, dir.str(), output(),
                                                std::vector<std::string>{"XDG_CONFIG_HOME=" + config.str()});
    }
    // Waits until the information or error log holds message.
    bool WaitForMessage(const std::string& extension, const std::string& message) {
        return WaitUntil(
            [&] {
                const Messages messages = LogMessages(dir.path(), extension);
                return std::find(messages.begin(), messages.end(), message) != messages.end();
            },
            20s);
    }
    std::optional<int> Stop(int signal = SIGTERM) {
        child_->Signal(signal);
        return child_->WaitForExit(20s);
    }
    std::string output() const { return (outputDir / "output.txt").string(); }

    TempDir dir;
    TempDir outputDir;  // kept apart, so the run directory holds only what the program writes
    TempDir config;     // the user's settings, so that a test never touches the real user's
    std::unique_ptr<ChildProcess> child_;
};

TEST_F(ProgramRun, InAnEmptyDirectoryItIsOutOfOrderAndStopsCleanly) {
    Start();
    ASSERT_TRUE(WaitForMessage(".err", "Не работает"));
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), (Messages{"Файл kiosk.cfg: Ошибка чтения", "Не работает"}));
    EXPECT_EQ(LogMessages(dir.path(), ".log"), Messages{});
    // windows-1251 bytes, no byte-order mark, CR LF line ends.
    const std::string bytes = ReadFile(dir / TodaysName(".err"));
    EXPECT_EQ(bytes.substr(0, 1), "[");
    EXPECT_NE(bytes.find("\xCD\xE5 \xF0\xE0\xE1\xEE\xF2\xE0\xE5\xF2\r\n"), std::string::npos);
}

class ProgramStopSignal : public ProgramRun, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramStopSignal, ItRunsUntilSignalledAndShutsDown) {
    WriteFile(dir / "kiosk.cfg", "\xEF\xBB\xBF[options]\nstart\nindex.html\n");
    Start();
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    EXPECT_FALSE(child_->WaitForExit(300ms).has_value()) << "it must keep running until told to stop";
    EXPECT_EQ(Stop(GetParam()), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".log"), (Messages{"Начало работы", "Завершение работы"}));
    EXPECT_EQ(LogMessages(dir.path(), ".err"), Messages{});
    // The user's proxy setting was pointed at the kiosk and is back as it was (a new user's).
    EXPECT_EQ(ReadFile(config / "kiosk-shell" / "user-settings"),
              "[Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\n"
              "ProxyEnable=dword:0\nProxyServer=sz:\nSyncMode5=dword:4\n");
}

TEST_F(ProgramRun, WhileRunningTheUsersProxyPointsAtTheKiosk) {
    WriteFile(dir / "kiosk.cfg", "[options]\nstart\nindex.html\ninternal\n18181\n");
    Start();
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    EXPECT_NE(ReadFile(config / "kiosk-shell" / "user-settings").find("ProxyServer=sz:127.0.0.1:18181\n"),
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
    WriteFile(bin / "terminal.cfg", "[options]\nstart\nindex.html\n");

    Start((bin / "terminal").string());
    ASSERT_TRUE(WaitForMessage(".err", "Не работает"));
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogMessages(dir.path(), ".err"), (Messages{"Файл terminal.cfg: Ошибка чтения", "Не работает"}));

    // A name ending in a dot and three characters loses them, as ".exe" does.
    WriteFile(dir / "terminal.cfg", "[options]\nstart\nindex.html\n");
    Start((bin / "terminal.exe").string());
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(ProgramRun, ALogThatCannotBeWrittenIsReportedAndTheProgramStillStopsCleanly) {
    fs::create_directory(dir / TodaysName(".err"));
    Start();
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(output()).find("Киоск: ") != std::string::npos; }, 20s));
    EXPECT_NE(ReadFile(output()).find(TodaysName(".err")), std::string::npos);
    EXPECT_FALSE(child_->WaitForExit(300ms).has_value());
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
