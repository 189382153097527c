#include "app/kiosk_parts.h"

#include <cstdlib>

#include "app/main_window.h"
#include "keyboard/template_scaling.h"
#include "mail/mail_thread.h"
#include "proxy/http_proxy_server.h"
#include "proxy/tls/terminal_ca.h"
#include "shell/density_scaling.h"

namespace kiosk {

namespace {

// The locale the environment names for messages, as the C library would choose it.
std::string LocaleOfEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

}  // namespace

MainWindowParts KioskParts::Parts() {
    return MainWindowParts{
        .ui = platform_.GetUi(),
        .clock = platform_.GetClock(),
        .executablePath = platform_.ExecutablePath(),
        .workingDirectory = {},
        .systemProxySetting = systemProxySetting_,
        .keyboard = keyboard_,
        .mouseHooks = platform_.GetMouseHooks(),
        .fullScreen = platform_.GetFullScreen(),
        .createProxyServer = [] { return std::make_unique<HttpProxyServer>(); },
        .createMailWorker =
            [](std::shared_ptr<NotificationQueue> queue, MailPump pump) {
                return std::make_unique<MailThread>(std::move(queue), std::move(pump));
            },
        .createBrowser = [this] { return platform_.CreateBrowserControl(internetSettings_); },
        .certificateTrust = platform_.GetCertificateTrust(),
        .caFolder = DefaultCaFolder(),
        .journal = &platform_.GetJournal(),
        .locale = LocaleOfEnvironment(),
        .browserSandboxProblem = platform_.BrowserSandboxProblem(),
    };
}

ApplicationStages KioskParts::Stages() {
    return ApplicationStages{
        .created = [this](MainWindow& window) { AttachWindow(window); },
        .started =
            [this](MainWindow&) {
                platform_.GetMainWindow().Show();
                platform_.ShowKeyboardKeys(keyboard_);
                platform_.GetServiceManager().Ready();
            },
        .stopping = [this](MainWindow&) { platform_.GetServiceManager().Stopping(); },
        .finished = [this](MainWindow&) { platform_.GetMainWindow().Detach(); },
    };
}

// The window's controls and the keyboard's keys are designed for one screen density; on another
// they are scaled by the text height their font gives there.
void KioskParts::ScaleToScreen(MainWindow& window) {
    const int ppi = platform_.PixelsPerInch();
    const auto textHeight = [this](int fontHeight) { return platform_.TextHeight(fontHeight); };
    ScaleControls(window.Controls, DensityScale(ppi, kMainWindowDesign, textHeight));
    keyboard_.SetTemplateElements(
        ScaleKeyTemplate(KeyTemplate(), ppi, DensityScale(ppi, kKeyTemplateDesign, textHeight)));
}

void KioskParts::AttachWindow(MainWindow& window) {
    ScaleToScreen(window);
    Ui& ui = platform_.GetUi();
    const auto handler = [&ui, &window](void (MainWindow::*method)()) {
        return [&ui, &window, method] { RunHandler(ui, window, [&window, method] { (window.*method)(); }); };
    };
    keyboard_.SetKeyUpTarget(
        [&ui, &window](std::uint16_t, bool) { RunHandler(ui, window, [&window] { window.OnKeyUp(); }); });
    window.RefreshCaptions = [this] {
        if (KeyboardForm* keys = keyboard_.Template()) keys->RefreshCaptions();
    };
    platform_.GetMainWindow().Attach(window.Controls, MainWindowHandlers{
                                                          .Home = handler(&MainWindow::OnHomePressed),
                                                          .Back = handler(&MainWindow::OnBackPressed),
                                                          .Refresh = handler(&MainWindow::OnRefreshPressed),
                                                          .Keys = handler(&MainWindow::OnKeysPressed),
                                                          .KeyUp = handler(&MainWindow::OnKeyUp),
                                                      });
}

}  // namespace kiosk
