#pragma once

#include <functional>
#include <memory>
#include <string>

#include "config/key_value_table.h"
#include "keyboard/on_screen_keyboard.h"
#include "mail/mail_worker.h"
#include "mail/notification_queue.h"
#include "os/system_journal.h"
#include "os/ui.h"
#include "proxy/proxy_server.h"
#include "proxy/system_proxy_setting.h"
#include "proxy/tls/leaf_trust.h"
#include "shell/browser_control.h"
#include "shell/full_screen.h"
#include "shell/mouse_hook.h"
#include "util/clock.h"

namespace kiosk {

// Fills the four tables with their fixed rows and defaults; may throw.
// Creates the mail worker (suspended): it sleeps on queue and has the main thread run pump, one pass
// of the queue pump, for every waiting text.
using MailWorkerFactory =
    std::function<std::unique_ptr<MailWorker>(std::shared_ptr<NotificationQueue> queue, MailPump pump)>;

using DefaultRowsFiller = std::function<void(KeyValueTable& options, KeyValueTable& mail,
                                             KeyValueTable& errors, KeyValueTable& operators)>;

void FillDefaultRows(KeyValueTable& options, KeyValueTable& mail, KeyValueTable& errors,
                     KeyValueTable& operators);

// Everything the main window reaches outside its own logic. The program wires the platform's parts;
// tests wire recording fakes.
struct MainWindowParts {
    Ui& ui;
    const Clock& clock;
    std::string executablePath;
    std::string workingDirectory;  // configuration, logs and relative files; empty: the current directory
    SystemProxySetting& systemProxySetting;
    OnScreenKeyboard& keyboard;
    MouseHookInstaller& mouseHooks;
    FullScreenSizer& fullScreen;
    std::function<std::unique_ptr<ProxyServer>()> createProxyServer;
    MailWorkerFactory createMailWorker;
    std::function<std::unique_ptr<BrowserControl>()> createBrowser;
    // What makes the browser accept the certificates the proxy shows it for the HTTPS it decrypts.
    BrowserCertificateTrust& certificateTrust;
    // Where the certificate of the run's own CA is written (its key stays in memory).
    std::string caFolder;
    DefaultRowsFiller fillDefaultRows = FillDefaultRows;
    // The system's log service, which also gets every log entry; none when null.
    SystemJournal* journal = nullptr;
    // The terminal's locale as the environment names it (LC_ALL, LC_MESSAGES or LANG); empty: none.
    std::string locale = {};
    // Why the browser's pages run without a sandbox on this system; empty when they run in one.
    std::string browserSandboxProblem = {};
};

}  // namespace kiosk
