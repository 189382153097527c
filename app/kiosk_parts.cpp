#include "app/kiosk_parts.h"

#include "log/send_mail_thread.h"
#include "proxy/http_proxy_server.h"
#include "shell/placeholder_browser_control.h"

namespace kiosk {

FormParts KioskParts::Parts() {
    return FormParts{
        .ui = platform_.GetUi(),
        .clock = platform_.GetClock(),
        .executablePath = platform_.ExecutablePath(),
        .workingDirectory = {},
        .systemProxySetting = systemProxySetting_,
        .keyboard = keyboard_,
        .mouseHooks = mouseHooks_,
        .fullScreen = fullScreen_,
        .createProxyServer = [] { return std::make_unique<TIdHTTPProxyServer>(); },
        .createMailWorker =
            [this](std::shared_ptr<NotificationQueue> queue, std::function<void()> pump) {
                return std::make_unique<tsendmailthread>(platform_.GetUi(), std::move(queue),
                                                         std::move(pump));
            },
        .createBrowser = [] { return std::make_unique<PlaceholderBrowserControl>(); },
    };
}

}  // namespace kiosk
