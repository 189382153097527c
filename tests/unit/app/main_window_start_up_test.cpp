#include <gtest/gtest.h>

#include "shell/start_page.h"
#include "tests/unit/app/main_window_fixture.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

constexpr const char* kMinimalConfig = "[options]\nstart\nindex.html\n";

const MainWindowControls kDesign = DesignLayout();
// Home and the button area's margins around it.
const int kHomeWithMargins =
    kDesign.ButtonArea.Padding.Left + kDesign.HomeButton.Width + kDesign.ButtonArea.Padding.Right;
// The room left of the busy animation; the keyboard is placed at its right end.
const int kRoomForKeyboard = kDesign.Window.Width - kDesign.BusyAnimation.Width;

TEST_F(MainWindowTest, RunningStartUpTakesEveryStepInOrder) {
    WriteConfig(kMinimalConfig);
    clock.Set({2026, 12, 8, 9, 15, 0, 0});
    Create();
    EXPECT_EQ(record.Events(), (Events{
                                   "ProxyCreated",
                                   "MailWorkerCreated",
                                   "Languages ru-RU,ru",
                                   "SaveProxySetting",
                                   "SetProxySetting 1 0 127.0.0.1:8181",
                                   "ProxyConfigure port=8181",
                                   "ProxyHooks",
                                   "ProxyActivate",
                                   "FitToScreen",
                                   "PlaceKeyboard 0 0",
                                   "CopyPaste 01",
                                   "ProcessMessages",
                                   "InstallHook",
                                   "BrowserVisible 1",
                                   "BrowserAddressBar 0",
                                   "BrowserSilent 1",
                                   "BrowserStatusBar 0",
                                   "Navigate " + LocalPageUrl(ProgramDir(), "index.html"),
                               }));
    EXPECT_FALSE(window->OutOfOrder);
    EXPECT_EQ(window->ProgramName, "kiosk");
    EXPECT_EQ(window->ProgramDir, ProgramDir());
    EXPECT_EQ(window->MouseHook, 42u);
    EXPECT_EQ(window->DocumentCounter, -1);
    EXPECT_DOUBLE_EQ(window->LastActionTime, clock.Now());
    EXPECT_TRUE(window->Controls.BusyAnimation.Visible);
    EXPECT_TRUE(window->Controls.BusyAnimation.Animate);
    EXPECT_EQ(window->MinButtonPanelWidth, kHomeWithMargins);
    EXPECT_EQ(window->Controls.KeyboardPlace.Left, kRoomForKeyboard - kDesign.KeyboardPlace.Width);
    EXPECT_EQ(window->IdleTimer->Interval(), 15 * 60 * 1000);
    EXPECT_FALSE(window->IdleTimer->Enabled());
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы"}));
    EXPECT_EQ(LogMessages(".err"), Events{});

    const ProxyServerSettings& settings = proxy->settings;
    EXPECT_EQ(settings.DefaultTransferMode, BodyTransfer::FullDocument);
    EXPECT_EQ(settings.ListenQueue, 15);
    EXPECT_EQ(settings.TerminateWaitTime, 5000);
    EXPECT_EQ(settings.ReuseSocket, SocketReuse::SystemDefault);
    EXPECT_TRUE(proxy->hooks.OnFailure && proxy->hooks.OnRequest && proxy->hooks.OnDocument);
}

// Without a sandbox for the browser's pages the terminal still serves, and says so once.
TEST_F(MainWindowTest, ABrowserWithoutASandboxIsOneErrorEntryAndTheTerminalServes) {
    WriteConfig(kMinimalConfig);
    browserSandboxProblem = "Браузер работает без песочницы: нет программы /usr/bin/bwrap";
    Create();
    EXPECT_FALSE(window->OutOfOrder);
    EXPECT_EQ(LogMessages(".err"), Events{browserSandboxProblem});
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы"}));
}

TEST_F(MainWindowTest, WithoutAConfigurationFileTheTerminalIsOutOfOrder) {
    Create();
    EXPECT_TRUE(window->OutOfOrder);
    EXPECT_EQ(LogMessages(".err"), (Events{"Файл kiosk.cfg: Ошибка чтения", "Не работает"}));
    EXPECT_EQ(LogMessages(".log"), Events{});
    // The system proxy setting is not touched and nothing is navigated.
    EXPECT_TRUE(record.Starting("SaveProxySetting").empty());
    EXPECT_TRUE(record.Starting("SetProxySetting").empty());
    EXPECT_TRUE(record.Starting("Proxy").size() == 1);  // only its creation
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_FALSE(record.Contains("InstallHook"));
    EXPECT_TRUE(record.Contains("BrowserVisible 0"));
    EXPECT_FALSE(window->Controls.Browser.Visible);
    EXPECT_TRUE(record.Contains("FitToScreen"));
    EXPECT_DOUBLE_EQ(window->LastActionTime, clock.Now());
    // Both error entries were handed on for mailing.
    EXPECT_EQ(window->MailQueue->Texts(), (Events{"Файл kiosk.cfg: Ошибка чтения", "Не работает"}));
}

TEST_F(MainWindowTest, FailedDefaultRowsSkipTheLoaderAndGoOutOfOrder) {
    WriteConfig(kMinimalConfig);
    fillDefaultRows = [](KeyValueTable&, KeyValueTable&, KeyValueTable&, KeyValueTable&) {
        throw std::runtime_error("no memory");
    };
    Create();
    EXPECT_TRUE(window->OutOfOrder);
    EXPECT_TRUE(record.Starting("SaveProxySetting").empty());
    EXPECT_TRUE(record.Contains("BrowserVisible 0"));
    EXPECT_TRUE(record.Contains("PlaceKeyboard 0 0"));
    // Without rows the log option is empty: the log is off.
    EXPECT_EQ(LogMessages(".err"), Events{});
}

TEST_F(MainWindowTest, AFailedProxySettingLeavesTheProxyInactive) {
    WriteConfig(kMinimalConfig);
    proxySetting.setErrors = {"Невозможно настроить прокси"};
    Create();
    EXPECT_TRUE(window->OutOfOrder);
    EXPECT_TRUE(record.Starting("ProxyConfigure").empty());
    EXPECT_FALSE(record.Contains("ProxyActivate"));
    EXPECT_TRUE(record.Contains("FitToScreen"));
    EXPECT_EQ(LogMessages(".err"), (Events{"Невозможно настроить прокси", "Не работает"}));

    record.Clear();
    Destroy();
    // Nothing was set, so nothing is written back.
    EXPECT_TRUE(record.Starting("SetProxySetting").empty());
}

TEST_F(MainWindowTest, TheLayoutCheckAcceptsAnExactFitAndRefusesOnePixelMore) {
    WriteConfig(kMinimalConfig);
    // Home's right edge plus the right margin must not pass the keyboard's left edge.
    keyboard.placedWidth = kRoomForKeyboard - kHomeWithMargins;
    Create();
    EXPECT_FALSE(window->OutOfOrder);
    window.reset();

    record.Clear();
    keyboard.placedWidth = kRoomForKeyboard - kHomeWithMargins + 1;
    Create();
    EXPECT_TRUE(window->OutOfOrder);
    EXPECT_EQ(LogMessages(".err"), (Events{"Слишком большая виртуальная клавиатура", "Не работает"}));
    EXPECT_TRUE(window->Proxy->Active());  // already listening, and stays so
    EXPECT_FALSE(record.Contains("InstallHook"));

    record.Clear();
    Destroy();
    // The setting was changed before the check failed, so shutdown restores it, and only that.
    EXPECT_EQ(record.Starting("SetProxySetting"), (Events{"SetProxySetting 0 4 old:3128"}));
    EXPECT_TRUE(record.Starting("Navigate").empty());
    EXPECT_FALSE(record.Contains("RemoveHook 42"));
}

TEST_F(MainWindowTest, AFailureThatEscapesAStepEndsStartUpWithAnErrorBox) {
    WriteConfig(kMinimalConfig);
    proxySetting.saveFailure = "registry unreadable";
    Create();
    EXPECT_TRUE(record.Contains("ErrorBox Киоск: registry unreadable"));
    EXPECT_FALSE(window->OutOfOrder);
    EXPECT_FALSE(record.Contains("FitToScreen"));
    EXPECT_FALSE(record.Contains("PlaceKeyboard 0 0"));
    EXPECT_TRUE(record.Starting("Navigate").empty());

    record.Clear();
    Destroy();
    // Shutdown takes the running-state steps, but the setting was never changed: no restore.
    EXPECT_TRUE(record.Contains("Navigate about:blank"));
    EXPECT_TRUE(record.Starting("SetProxySetting").empty());
    EXPECT_EQ(LogMessages(".log"), (Events{"Завершение работы"}));
}

TEST_F(MainWindowTest, AProxyThatCannotListenEndsStartUpButTheSettingIsRestored) {
    WriteConfig(kMinimalConfig);
    proxyActivationFailure = "Socket Error # 98\r\nAddress already in use.";
    Create();
    EXPECT_TRUE(record.Contains("ErrorBox Киоск: Socket Error # 98\r\nAddress already in use."));
    EXPECT_FALSE(window->OutOfOrder);
    EXPECT_FALSE(record.Contains("FitToScreen"));

    record.Clear();
    Destroy();
    EXPECT_EQ(record.Starting("SetProxySetting"), (Events{"SetProxySetting 0 4 old:3128"}));
}

TEST_F(MainWindowTest, ALogThatCannotBeOpenedEndsStartUp) {
    std::filesystem::create_directory(TodaysFile(".err"));
    Create();
    ASSERT_EQ(record.Starting("ErrorBox").size(), 1u);
    EXPECT_TRUE(window->OutOfOrder);  // set by the loader's error before the log failed
    EXPECT_FALSE(record.Contains("FitToScreen"));
    Destroy();
    EXPECT_EQ(window->OptionTable, nullptr);
}

TEST_F(MainWindowTest, OptionsThatApplyWhateverTheState) {
    // A configuration error after "back" still hides Back on the out-of-order screen, and the
    // sleep value read before the error applies.
    WriteConfig("[options]\nback\nfalse\nsleep\n2\nbogus\n");
    Create();
    EXPECT_TRUE(window->OutOfOrder);
    EXPECT_FALSE(window->Controls.BackButton.Visible);
    EXPECT_FALSE(window->Controls.BackButton.Enabled);
    EXPECT_EQ(window->IdleTimer->Interval(), 2 * 60 * 1000);
}

struct OptionCase {
    const char* name;
    const char* options;
    bool backShown;
    long long idleInterval;
    bool hookInstalled;
    const char* proxyServer;
    int listenPort;
    const char* placement;
};

class WindowOptionTest : public MainWindowTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(WindowOptionTest, OptionsReachTheirSteps) {
    const OptionCase& c = GetParam();
    WriteConfig(std::string("[options]\nstart\nindex.html\n") + c.options);
    Create();
    ASSERT_FALSE(window->OutOfOrder);
    EXPECT_EQ(window->Controls.BackButton.Visible, c.backShown);
    EXPECT_EQ(window->IdleTimer->Interval(), c.idleInterval);
    EXPECT_EQ(record.Contains("InstallHook"), c.hookInstalled);
    EXPECT_EQ(window->MouseHook, c.hookInstalled ? 42u : kNoMouseHook);
    EXPECT_TRUE(record.Contains(std::string("SetProxySetting 1 0 ") + c.proxyServer));
    EXPECT_EQ(proxy->settings.DefaultPort, c.listenPort);
    EXPECT_TRUE(record.Contains(c.placement));
}

INSTANTIATE_TEST_SUITE_P(
    Options, WindowOptionTest,
    ::testing::Values(
        OptionCase{"Defaults", "", true, 900000, true, "127.0.0.1:8181", 8181, "PlaceKeyboard 0 0"},
        OptionCase{"CapitalFalseAndMenuTrue", "back\nFalse\nmenu\ntrue\n", true, 900000, false,
                   "127.0.0.1:8181", 8181, "PlaceKeyboard 0 0"},
        OptionCase{"BackFalseAndMenuCapitals", "back\nfalse\nmenu\nFALSE\n", false, 900000, false,
                   "127.0.0.1:8181", 8181, "PlaceKeyboard 0 0"},
        OptionCase{"SleepNotANumber", "sleep\nabc\n", true, 900000, true, "127.0.0.1:8181", 8181,
                   "PlaceKeyboard 0 0"},
        OptionCase{"SleepZero", "sleep\n0\n", true, 0, true, "127.0.0.1:8181", 8181, "PlaceKeyboard 0 0"},
        // Minutes beyond the timer's range are held at its longest interval instead of overflowing.
        OptionCase{"SleepBeyondTimerRange", "sleep\n99999999\n", true, 0x7FFFFFFF, true, "127.0.0.1:8181",
                   8181, "PlaceKeyboard 0 0"},
        OptionCase{"PortKeysAndInterval", "internal\n9090\nkeys\n2\ninterval\nabc\n", true, 900000, true,
                   "127.0.0.1:9090", 9090, "PlaceKeyboard 2 0"}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TheBusyPictureComesFromTheProcessOption) {
    WriteFile(dir / "busy.gif", ReadFile(std::string(KIOSK_SOURCE_DIR) + "/shell/pictures/busy.gif"));
    WriteConfig(std::string(kMinimalConfig) + "process\nbusy.gif\n");
    Create();
    EXPECT_TRUE(window->Controls.BusyAnimation.Picture.starts_with("GIF89a"));
    EXPECT_EQ(LogMessages(".err"), Events{});
}

TEST_F(MainWindowTest, ABusyPictureThatCannotBeLoadedIsOnlyLogged) {
    WriteFile(dir / "busy.png", "\x89PNG\r\n\x1a\n not a gif at all");
    std::filesystem::create_directory(dir / "folder.gif");
    for (const char* name : {"busy.png", "missing.gif", "folder.gif"}) {
        WriteConfig(std::string(kMinimalConfig) + "process\n" + name + "\n");
        Create();
        EXPECT_FALSE(window->OutOfOrder) << name;
        EXPECT_TRUE(window->Controls.BusyAnimation.Picture.empty());
        const auto errors = LogMessages(".err");
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back(), std::string("Файл: ") + name + " - Невозможно загрузить");
        window.reset();
    }
}

TEST_F(MainWindowTest, AProxyPortOutsideItsRangeIsAnErrorAndTheTerminalIsOutOfOrder) {
    for (const char* port : {"70000", "0", "-1", "81x", ""}) {
        WriteConfig(std::string(kMinimalConfig) + "internal\n" + port + "\n");
        Create();
        EXPECT_TRUE(window->OutOfOrder) << port;
        EXPECT_FALSE(proxy->active);
        EXPECT_EQ(record.Count("SetProxySetting 1 0 127.0.0.1:" + std::string(port)), 0);
        const auto errors = LogMessages(".err");
        ASSERT_GE(errors.size(), 2u);
        EXPECT_EQ(errors[errors.size() - 2], "Недопустимый порт прокси: internal=" + std::string(port));
        EXPECT_EQ(errors.back(), "Не работает");
        window.reset();
    }
    WriteConfig(std::string(kMinimalConfig) + "internal\n65535\n");
    Create();
    EXPECT_FALSE(window->OutOfOrder);
    EXPECT_EQ(record.Count("ProxyConfigure port=65535"), 1);
}

TEST_F(MainWindowTest, TheProxyDecryptsHttpsWithACaOfTheRunOnlyWhenSomeHostCanBe) {
    const auto leaveEarlierKey = [&] {
        std::filesystem::create_directories(dir / "ca");
        WriteFile(dir / "ca" / "ca.key", "an earlier version's key");
    };
    const std::string namesBank = "[document]\nurl\nbank.example/\ntext\na\ncontinue\nreplace\nb\n";
    const struct {
        std::string config;
        bool inspects;  // bank.example:443
        bool everyHost;
    } cases[] = {
        {std::string(kMinimalConfig) + "https\nall\n", true, true},
        {kMinimalConfig + namesBank, true, false},
        {kMinimalConfig, false, false},  // no script names a host
        {std::string(kMinimalConfig) + "https\ntunnel\n" + namesBank, false, false},
    };
    for (const auto& test : cases) {
        leaveEarlierKey();
        WriteConfig(test.config);
        Create();
        EXPECT_EQ(proxy->settings.Inspection != nullptr, test.inspects) << test.config;
        EXPECT_EQ(std::filesystem::exists(dir / "ca" / "ca.crt"), test.inspects) << test.config;
        EXPECT_FALSE(std::filesystem::exists(dir / "ca" / "ca.key")) << test.config;
        if (test.inspects) {
            EXPECT_TRUE(proxy->settings.Inspection->Inspects("bank.example", 443));
            EXPECT_EQ(proxy->settings.Inspection->Inspects("other.example", 443), test.everyHost);
        }
        window.reset();
    }
    EXPECT_EQ(LogMessages(".err"), Events{});

    // The browser is told of a leaf through the main thread, and the hand-off ends with the window.
    WriteConfig(kMinimalConfig + namesBank);
    Create();
    const auto leaf = proxy->settings.Inspection->TrustedLeaf("bank.example", [] { return false; });
    EXPECT_EQ(certificateTrust.hosts, Events{"bank.example"});
}

TEST_F(MainWindowTest, ACaOrCaFileThatCannotBeReadLeavesEveryConnectATunnel) {
    WriteFile(dir / "ca", "a file where the CA's folder belongs");
    WriteConfig(std::string(kMinimalConfig) + "https\nall\n");
    Create();
    EXPECT_FALSE(window->OutOfOrder);
    EXPECT_TRUE(proxy->active);
    EXPECT_EQ(proxy->settings.Inspection, nullptr);
    auto errors = LogMessages(".err");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("HTTPS не расшифровывается: ")) << errors[0];
    window.reset();

    std::filesystem::remove(dir / "ca");
    WriteConfig(std::string(kMinimalConfig) + "https\nall\ncafile\nmissing.pem\n");
    Create();
    EXPECT_EQ(proxy->settings.Inspection, nullptr);
    errors = LogMessages(".err");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[1].find("missing.pem"), std::string::npos) << errors[1];
    // The CA's key is never part of what is logged.
    EXPECT_EQ(errors[1].find("PRIVATE KEY"), std::string::npos);
}

TEST_F(MainWindowTest, TheProxyExceptionHookLogsHostTargetAndFailure) {
    WriteConfig(kMinimalConfig);
    Create();
    ProxyConnection context;
    proxy->hooks.OnFailure(context, "Connection Closed Gracefully.");
    context.LastRequestHost = "example.org";
    context.LastRequestTarget = "/a?x=1";
    proxy->hooks.OnFailure(context, "Host not found.");
    EXPECT_EQ(LogMessages(".err"),
              (Events{": Connection Closed Gracefully.", "example.org/a?x=1: Host not found."}));

    // A log that cannot be opened does not let the failure out of the hook.
    std::filesystem::remove(TodaysFile(".err"));
    std::filesystem::create_directory(TodaysFile(".err"));
    EXPECT_NO_THROW(proxy->hooks.OnFailure(context, "Connection refused."));
}

TEST_F(MainWindowTest, TheDocumentHookFiltersWithTheLoadedConfiguration) {
    WriteFile(dir / "nf.html", "<p>nf</p>");
    WriteConfig(std::string(kMinimalConfig) + "[errors]\ndocument\nnf.html\n");
    Create();
    ProxyConnection context;
    context.LastRequestHost = "h";
    context.Document = "/x";
    context.Headers.Add("HTTP/1.1 404 Not Found");
    context.Headers.Add("Content-Type: text/html");
    std::string body = "gone";
    proxy->hooks.OnDocument(context, body);
    EXPECT_EQ(body, "<p>nf</p>");
    EXPECT_EQ(context.Headers[0], "HTTP/1.1 200 OK");
    EXPECT_EQ(LogMessages(".err"), (Events{"h/x: HTTP/1.1 404 Not Found > nf.html"}));
    EXPECT_EQ(window->MailQueue->Texts(), (Events{"h/x: HTTP/1.1 404 Not Found > nf.html"}));
}

TEST_F(MainWindowTest, TheBeforeCommandHookAppliesTheUpstreamOptions) {
    WriteConfig(std::string(kMinimalConfig) + "proxy\nsocks5\nhost\nsocks.local\nheaders\ndump.txt\n");
    Create();
    ProxyConnection context;
    context.Command = "GET";
    context.Document = "/a";
    context.Headers.Add("Host: h");
    context.Route = std::make_unique<OutboundRoute>();
    proxy->hooks.OnRequest(context);
    EXPECT_EQ(context.LastRequestHost, "h");
    EXPECT_EQ(context.LastRequestTarget, "/a");
    const auto* socks = std::get_if<SocksProxy>(&context.Route->TransparentProxy);
    ASSERT_NE(socks, nullptr);
    EXPECT_EQ(socks->Host, "socks.local");
    EXPECT_EQ(socks->Version, SocksVersion::Socks5);
    EXPECT_EQ(ReadFile(dir / "dump.txt"), "[Request h]\r\nGET /a\r\nHost: h\r\n\r\n");
}

}  // namespace
}  // namespace kiosk::testing
