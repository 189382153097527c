#include "app/kiosk_parts.h"

#include <cstdlib>

#include "app/form1.h"
#include "keyboard/template_scaling.h"
#include "mail/send_mail_thread.h"
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

FormParts KioskParts::Parts() {
    return FormParts{
        .ui = platform_.GetUi(),
        .clock = platform_.GetClock(),
        .executablePath = platform_.ExecutablePath(),
        .workingDirectory = {},
        .systemProxySetting = systemProxySetting_,
        .keyboard = keyboard_,
        .mouseHooks = platform_.GetMouseHooks(),
        .fullScreen = platform_.GetFullScreen(),
        .createProxyServer = [] { return std::make_unique<TIdHTTPProxyServer>(); },
        .createMailWorker =
            [](std::shared_ptr<NotificationQueue> queue, MailPump pump) {
                return std::make_unique<tsendmailthread>(std::move(queue), std::move(pump));
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
        .created = [this](TForm1& form) { AttachWindow(form); },
        .started =
            [this](TForm1&) {
                platform_.GetMainWindow().Show();
                platform_.ShowKeyboardKeys(keyboard_);
                platform_.GetServiceManager().Ready();
            },
        .stopping = [this](TForm1&) { platform_.GetServiceManager().Stopping(); },
        .finished = [this](TForm1&) { platform_.GetMainWindow().Detach(); },
    };
}

// The window's controls and the keyboard's keys are designed for one screen density; on another
// they are scaled by the text height their font gives there.
void KioskParts::ScaleToScreen(TForm1& form) {
    const int ppi = platform_.PixelsPerInch();
    const auto textHeight = [this](int fontHeight) { return platform_.TextHeight(fontHeight); };
    ScaleControls(form.Controls, DensityScale(ppi, kMainWindowDesign, textHeight));
    keyboard_.SetTemplateElements(
        ScaleKeyTemplate(KeyTemplate(), ppi, DensityScale(ppi, kKeyTemplateDesign, textHeight)));
}

void KioskParts::AttachWindow(TForm1& form) {
    ScaleToScreen(form);
    Ui& ui = platform_.GetUi();
    const auto handler = [&ui, &form](void (TForm1::*method)()) {
        return [&ui, &form, method] { RunHandler(ui, form, [&form, method] { (form.*method)(); }); };
    };
    keyboard_.SetKeyUpTarget(
        [&ui, &form](std::uint16_t, bool) { RunHandler(ui, form, [&form] { form.FormKeyUp(); }); });
    form.RefreshCaptions = [this] {
        if (Tkbdform* keys = keyboard_.Template()) keys->RefreshCaptions();
    };
    platform_.GetMainWindow().Attach(form.Controls, MainWindowHandlers{
                                                        .Home = handler(&TForm1::RxSpeedButton4Click),
                                                        .Back = handler(&TForm1::RxSpeedButton2Click),
                                                        .Refresh = handler(&TForm1::RxSpeedButton3Click),
                                                        .Keys = handler(&TForm1::RxSpeedButton1Click),
                                                        .KeyUp = handler(&TForm1::FormKeyUp),
                                                    });
}

}  // namespace kiosk
