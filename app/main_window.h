#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "app/kiosk_metrics.h"
#include "app/main_window_browser_events.h"
#include "app/main_window_parts.h"
#include "config/key_value_table.h"
#include "keyboard/keys_toggle.h"
#include "keyboard/main_thread_focus_poll.h"
#include "log/event_log.h"
#include "mail/mail_worker.h"
#include "mail/notification_queue.h"
#include "os/timer.h"
#include "proxy/filter/document_filter.h"
#include "proxy/proxy_server.h"
#include "proxy/system_proxy_setting.h"
#include "proxy/tls/https_inspection.h"
#include "proxy/tls/leaf_trust_hand_off.h"
#include "script/document_script.h"
#include "shell/browser_control.h"
#include "shell/browsing_context.h"
#include "shell/home_button.h"
#include "shell/main_window_controls.h"
#include "shell/mouse_hook.h"
#include "util/date_time.h"

namespace kiosk {

// The main window and the owner of the process-wide state: its creation runs the start-up sequence,
// its destruction the shutdown sequence.
class MainWindow {
    // First, so that they outlive every worker that may still log while it is released.
    MainWindowParts parts_;
    // The log's hand-off and the mail worker's queue; shared with the worker.
    const std::shared_ptr<NotificationQueue> notifications_ = std::make_shared<NotificationQueue>();
    EventLog eventLog_;
    bool proxySettingWasSet_ = false;  // only then is there a saved setting to write back
    // Attached to every browser control; declared before Browser so that it outlives it.
    MainWindowBrowserEvents browserEvents_{*this, parts_.ui};
    HomeButton home_{[this] { return NewBrowser(); }, browserEvents_};
    // The languages every browser control asks pages for; set once the configuration is loaded.
    std::vector<std::string> browserLanguages_;
    // The document filter's way to start the text-field poll; closed at shutdown, so that a start
    // still queued for the main thread finds nothing to start.
    MainThreadFocusPoll focusPoll_{parts_.ui, [this] { StartFocusPoll(); }};
    // The proxy's way to the browser's trust in its leaf certificates; closed at shutdown like the poll.
    LeafTrustHandOff leafTrust_{parts_.ui, parts_.certificateTrust};
    // The terminal's counts for monitoring, written to the metrics option's file.
    KioskMetrics metrics_;
    FilterCounters filterCounters_;
    long long startTime_ = 0;
    bool metricsWriteFailed_ = false;  // logged once until a write succeeds again

public:
    explicit MainWindow(MainWindowParts parts);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    void StartUp();
    void ShutDown();

    // Proxy hooks, called on connection threads.
    void OnProxyFailure(ProxyConnection& context, const std::string& failure);
    void OnProxyRequest(ProxyConnection& context);
    void OnProxyDocument(ProxyConnection& context, std::string& body);

    std::string StartPageUrl() const;

    // Buttons Home, Back and Refresh; the idle return; every key release in the window (its
    // arguments play no part, so it takes none); every press, touch, wheel turn or key in the page.
    void OnHomePressed();
    void OnBackPressed();
    void OnRefreshPressed();
    // Keys: shows the keyboard when the button is down, hides it otherwise.
    void OnKeysPressed();
    void OnIdleTimeout();
    void OnKeyUp();
    void OnPageActivity();

    // The text-field search: focuses the first usable text field of every form and opens the
    // keyboard; true when a field got the focus. The poll repeats it for marked documents.
    bool FocusTextField();
    void OnFocusPollTick();
    void StartFocusPoll();

    // The browser's events.
    void OnDocumentComplete(const std::string& url);
    void OnNavigateError(const std::string& url, std::int32_t statusCode);
    void OnProgressChange(std::int32_t progress, std::int32_t maximum);
    void OnNewWindow(bool& cancel);
    void OnBeforeNavigate(const std::string& url, bool& cancel);
    void OnPageProcessEnded(const std::string& url);
    void WriteLog(LogLevel level, const std::string& message) { eventLog_.WriteLog(level, message); }

    // Process-wide state. Declared in this order so that whatever shutdown left behind is released
    // workers first and tables last.
    std::string ProgramName;
    std::string ProgramDir;
    bool OutOfOrder = false;
    MouseHookHandle MouseHook = kNoMouseHook;
    int DocumentCounter = -1;
    DateTime LastActionTime = 0;
    SavedProxySetting SavedProxy;
    int MinButtonPanelWidth = 0;
    MainWindowControls Controls = DesignLayout();
    // Redraws the keys for the current layout and Shift and Caps Lock state; the program connects it
    // to the keyboard's template (nothing to redraw without one).
    std::function<void()> RefreshCaptions = [] {};

    std::unique_ptr<KeyValueTable> OptionTable;
    std::unique_ptr<KeyValueTable> MailTable;
    std::unique_ptr<KeyValueTable> ErrorTable;
    std::unique_ptr<DocumentScriptList> DocumentScripts;
    std::unique_ptr<KeyValueTable> OperatorTable;
    // The pending notifications (and the last one taken), from the creation of the lists at start-up
    // until shutdown frees them.
    std::shared_ptr<NotificationQueue> MailQueue;

    std::unique_ptr<BrowserControl> Browser;
    std::unique_ptr<Timer> FocusPollTimer;  // text-field focus poll
    std::unique_ptr<Timer> IdleTimer;       // idle return
    std::unique_ptr<Timer> metricsTimer_;
    std::unique_ptr<ProxyServer> Proxy;
    std::unique_ptr<MailWorker> MailSender;

private:
    void ResetProcessValues();
    void CreateTables();
    void LoadConfigurationFile();
    void ApplyBrowserLanguages();
    // A browser control for a new visitor, asking pages for the configured languages.
    std::unique_ptr<BrowserControl> NewBrowser();
    void ApplyButtonAndTimerOptions();
    void LoadBusyPicture();
    void StartProxy();
    void ConfigureAndActivateProxy();
    std::shared_ptr<HttpsInspection> CreateHttpsInspection();
    void PlaceKeyboard();
    void CheckLayout();
    void EnterRunState();
    // Writes the metrics file when the metrics option names one; up is 0 in the last one.
    void WriteMetrics(bool up = true);

    // What the buttons, the browser's events and the Keys button work on.
    BrowsingContext Browsing();
    KeysToggle Keys();

    void RestoreProxySetting();
    void PumpMailQueue(std::stop_token stop);
    void StopMailWorker();
    void FreeProxyServer();
    void FreeTables();
    std::string Option(const char* key) const;
};

}  // namespace kiosk
