#include "app/main_window.h"

#include "app/application.h"
#include "mail/notification_pump.h"
#include "mail/notification_sender.h"
#include "os/text_files.h"
#include "proxy/filter/document_filter.h"
#include "proxy/request_hook.h"
#include "shell/start_page.h"
#include "util/paths.h"

namespace kiosk {

namespace {

constexpr long long kMetricsInterval = 10 * 1000;  // ms

}  // namespace

MainWindow::MainWindow(MainWindowParts parts)
    : parts_(std::move(parts)),
      eventLog_(parts_.clock, *notifications_, parts_.workingDirectory, parts_.journal),
      Browser(parts_.createBrowser()),
      FocusPollTimer(parts_.ui.CreateTimer()),
      IdleTimer(parts_.ui.CreateTimer()),
      metricsTimer_(parts_.ui.CreateTimer()) {
    FocusPollTimer->SetInterval(3000);
    FocusPollTimer->SetOnTimer([this] { RunHandler(parts_.ui, *this, [this] { OnFocusPollTick(); }); });
    IdleTimer->SetOnTimer([this] { RunHandler(parts_.ui, *this, [this] { OnIdleTimeout(); }); });
    metricsTimer_->SetInterval(kMetricsInterval);
    metricsTimer_->SetOnTimer([this] { RunHandler(parts_.ui, *this, [this] { WriteMetrics(); }); });
    Browser->SetEvents(&browserEvents_);
}

std::unique_ptr<BrowserControl> MainWindow::NewBrowser() {
    std::unique_ptr<BrowserControl> browser = parts_.createBrowser();
    if (!browserLanguages_.empty()) browser->SetPreferredLanguages(browserLanguages_);
    return browser;
}

MainWindow::~MainWindow() {
    focusPoll_.Close();
    // Whatever a failed shutdown left running stops here, workers before the tables they read.
    StopMailWorker();
    FreeProxyServer();
    FreeTables();
}

void MainWindow::OnProxyFailure(ProxyConnection& context, const std::string& failure) {
    ++metrics_.proxyErrors;
    try {
        WriteLog(LogLevel::Error, ProxyFailureMessage(context, failure));
    } catch (...) {
        // The log itself failed (its file cannot be opened): nothing is left to report it to, and a
        // failure must never leave a connection thread.
    }
}

void MainWindow::OnProxyRequest(ProxyConnection& context) {
    metrics_.CountProxyRequest(context.Command);
    RequestHook(context, *OptionTable, eventLog_, parts_.workingDirectory);
}

void MainWindow::OnProxyDocument(ProxyConnection& context, std::string& body) {
    FilterDocument(context, body,
                   {*OptionTable, *ErrorTable, *DocumentScripts, eventLog_,
                    [this] { focusPoll_.StartFocusPoll(); }, parts_.workingDirectory, &filterCounters_});
}

// One pass of the mail worker, on its own thread. The settings are read anew for every pass. The
// tables are filled during start-up, before the queue hands the worker its first text, and are only
// read after that until shutdown has stopped and joined the worker; the log and the counters are
// thread-safe.
void MainWindow::PumpMailQueue(std::stop_token stop) {
    if (!MailTable || !ErrorTable) return;
    MailTransport transport(parts_.clock);
    transport.stop = std::move(stop);
    const std::string caFile = Option("cafile");
    NotificationSender sender(
        ReadMailSettings(*MailTable, *ErrorTable,
                         caFile.empty() ? std::string() : ResolvePath(parts_.workingDirectory, caFile)),
        transport);
    const auto send = [&](const std::string& text) {
        std::string failure = sender.SendNotification(text);
        ++(failure.empty() ? metrics_.mailSent : metrics_.mailFailed);
        return failure;
    };
    PumpNotificationQueue(*notifications_, send, eventLog_);
}

void MainWindow::WriteMetrics(bool up) {
    const std::string file = Option("metrics");
    if (file.empty()) return;
    const MetricsMoment moment{.up = up,
                               .startTime = startTime_,
                               .outOfOrder = OutOfOrder,
                               .documentsRewritten = filterCounters_.rewritten,
                               .scriptFailures = filterCounters_.scriptFailures,
                               .errorEntries = eventLog_.ErrorEntries(),
                               .mailQueueLength = static_cast<long long>(notifications_->Texts().size())};
    const std::string failure =
        ReplaceFileAtomically(ResolvePath(parts_.workingDirectory, file), PrometheusText(metrics_, moment));
    if (!failure.empty() && !metricsWriteFailed_) WriteLog(LogLevel::Error, failure);
    metricsWriteFailed_ = !failure.empty();
}

BrowsingContext MainWindow::Browsing() {
    return {Controls, Browser, DocumentCounter, LastActionTime, *IdleTimer, parts_.ui, parts_.clock};
}

std::string MainWindow::StartPageUrl() const {
    return kiosk::StartPageUrl(Option("start"), ProgramDir);
}

std::string MainWindow::Option(const char* key) const {
    return OptionTable ? OptionTable->Value(key) : std::string();
}

}  // namespace kiosk
