#include "app/kiosk_parts.h"

#include "log/placeholder_mail_worker.h"
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
        .focusPoll = focusPoll_,
        .mouseHooks = mouseHooks_,
        .fullScreen = fullScreen_,
        .createProxyServer = [] { return std::make_unique<TIdHTTPProxyServer>(); },
        .createMailWorker = [] { return std::make_unique<PlaceholderMailWorker>(); },
        .createBrowser = [] { return std::make_unique<PlaceholderBrowserControl>(); },
    };
}

}  // namespace kiosk
