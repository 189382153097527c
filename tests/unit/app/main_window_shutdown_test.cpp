#include <gtest/gtest.h>

#include "tests/unit/app/main_window_fixture.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(MainWindowTest, RunningShutdownUndoesStartUpInOrder) {
    WriteConfig("[options]\nstart\nindex.html\n");
    Create();
    record.Clear();
    Destroy();
    EXPECT_EQ(record.Events(), (Events{
                                   "Navigate about:blank",
                                   "SetProxySetting 0 4 old:3128",
                                   "ProxyDeactivate",
                                   "ProcessMessages",
                                   "RemoveHook 42",
                                   "MailWorkerSuspend",
                                   "MailWorkerTerminate",
                                   "MailWorkerFreed",
                                   "ProxyDeactivate",
                                   "ProxyFreed",
                               }));
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы", "Завершение работы"}));
    EXPECT_EQ(window->MouseHook, kNoMouseHook);
    // The proxy is released while the tables its threads read still exist; then they go.
    EXPECT_TRUE(tablesAliveWhenProxyFreed);
    EXPECT_EQ(window->OptionTable, nullptr);
    EXPECT_EQ(window->MailTable, nullptr);
    EXPECT_EQ(window->ErrorTable, nullptr);
    EXPECT_EQ(window->DocumentScripts, nullptr);
    EXPECT_EQ(window->OperatorTable, nullptr);
    EXPECT_EQ(window->MailQueue, nullptr);
}

TEST_F(MainWindowTest, AFailedRestoreIsLoggedAndShutdownGoesOn) {
    WriteConfig("[options]\nstart\nindex.html\n");
    proxySetting.setErrors = {"", "Невозможно настроить прокси"};
    Create();
    Destroy();
    EXPECT_EQ(LogMessages(".err"), (Events{"Невозможно настроить прокси"}));
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы", "Завершение работы"}));
    EXPECT_TRUE(record.Contains("ProxyFreed"));
}

TEST_F(MainWindowTest, OutOfOrderShutdownOnlyStopsTheWorkers) {
    Create();  // no configuration file
    record.Clear();
    Destroy();
    EXPECT_EQ(record.Events(), (Events{
                                   "MailWorkerSuspend",
                                   "MailWorkerTerminate",
                                   "MailWorkerFreed",
                                   "ProxyDeactivate",
                                   "ProxyFreed",
                               }));
    EXPECT_EQ(LogMessages(".log"), Events{});
}

TEST_F(MainWindowTest, AFailureInShutdownIsShownAndTheRestIsReleasedWithTheWindow) {
    WriteConfig("[options]\nstart\nindex.html\n");
    Create();
    // The last entry cannot be written: the handler ends with an error box.
    std::filesystem::remove(TodaysFile(".log"));
    std::filesystem::create_directory(TodaysFile(".log"));
    record.Clear();
    Destroy();
    EXPECT_EQ(record.Starting("ErrorBox").size(), 1u);
    EXPECT_FALSE(record.Contains("MailWorkerFreed"));
    window.reset();
    EXPECT_TRUE(record.Contains("MailWorkerFreed"));
    EXPECT_TRUE(record.Contains("ProxyFreed"));
    EXPECT_TRUE(tablesAliveWhenProxyFreed);
}

}  // namespace
}  // namespace kiosk::testing
