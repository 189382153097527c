#include "tests/unit/app/form_fixture.h"

#include <filesystem>

#include "text/cp1251.h"
#include "text/text_lines.h"

namespace kiosk::testing {

FormParts FormTest::Parts() {
    return FormParts{
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
                    record, [this] { tablesAliveWhenProxyFreed = createdForm->OptionTable != nullptr; });
                server->activationFailure = proxyActivationFailure;
                proxy = server.get();
                return server;
            },
        .createMailWorker = [this](auto&&...) { return std::make_unique<FakeMailWorker>(record); },
        .createBrowser =
            [this] {
                // The control built with the window is not recorded; those that replace it are.
                if (createdForm) {
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

void FormTest::Create() {
    form = std::make_unique<TForm1>(Parts());
    createdForm = form.get();
    RunHandler(ui, *form, [this] { form->FormCreate(); });
}

void FormTest::Destroy() {
    RunHandler(ui, *form, [this] { form->FormDestroy(); });
}

std::string FormTest::TodaysFile(const std::string& extension) const {
    return (dir / (FormatShortDate(clock.Now()) + extension)).string();
}

std::vector<std::string> FormTest::LogMessages(const std::string& extension) const {
    const std::string path = TodaysFile(extension);
    if (!std::filesystem::exists(path)) return {};
    std::vector<std::string> messages;
    for (const std::string& line : SplitTextLines(Cp1251ToUtf8(ReadFile(path)))) {
        messages.push_back(line.substr(line.find("] ") + 2));  // "[hh:mm:ss] message"
    }
    return messages;
}

}  // namespace kiosk::testing
