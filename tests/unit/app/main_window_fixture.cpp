#include "tests/unit/app/main_window_fixture.h"

#include <filesystem>

#include "text/cp1251.h"
#include "text/text_lines.h"

namespace kiosk::testing {

MainWindowParts MainWindowTest::Parts() {
    return MainWindowParts{
        .ui = ui,
        .clock = clock,
        .executablePath = (dir / "kiosk").string(),
        .workingDirectory = dir.str(),
        .systemProxySetting = proxySetting,
        .keyboard = keyboard,
        .mouseHooks = mouseHooks,
        .fullScreen = fullScreen,
        .createProxyServer =
            [this] {
                record.Add("ProxyCreated");
                auto server = std::make_unique<FakeProxyServer>(
                    record, [this] { tablesAliveWhenProxyFreed = createdWindow->OptionTable != nullptr; });
                server->activationFailure = proxyActivationFailure;
                proxy = server.get();
                return server;
            },
        .createMailWorker = [this](auto&&...) { return std::make_unique<FakeMailWorker>(record); },
        .createBrowser =
            [this] {
                // The control built with the window is not recorded; those that replace it are.
                if (createdWindow) {
                    record.Add("BrowserCreated");
                    if (!browserCreationFailure.empty()) throw std::runtime_error(browserCreationFailure);
                }
                auto control = std::make_unique<FakeBrowser>(record);
                browser = control.get();
                return control;
            },
        .certificateTrust = certificateTrust,
        .caFolder = (dir / "ca").string(),
        .fillDefaultRows = fillDefaultRows,
        .browserSandboxProblem = browserSandboxProblem,
    };
}

void MainWindowTest::Create() {
    window = std::make_unique<MainWindow>(Parts());
    createdWindow = window.get();
    RunHandler(ui, *window, [this] { window->StartUp(); });
}

void MainWindowTest::Destroy() {
    RunHandler(ui, *window, [this] { window->ShutDown(); });
}

std::string MainWindowTest::TodaysFile(const std::string& extension) const {
    return (dir / (FormatShortDate(clock.Now()) + extension)).string();
}

std::vector<std::string> MainWindowTest::LogMessages(const std::string& extension) const {
    const std::string path = TodaysFile(extension);
    if (!std::filesystem::exists(path)) return {};
    std::vector<std::string> messages;
    for (const std::string& line : SplitTextLines(Cp1251ToUtf8(ReadFile(path)))) {
        messages.push_back(line.substr(line.find("] ") + 2));  // "[hh:mm:ss] message"
    }
    return messages;
}

}  // namespace kiosk::testing
