#include "app/form1.h"

#include "app/application.h"
#include "mail/notification_pump.h"
#include "mail/notification_sender.h"
#include "proxy/filter/document_filter.h"
#include "proxy/request_hook.h"
#include "shell/start_page.h"

namespace kiosk {

TForm1::TForm1(FormParts parts)
    : parts_(std::move(parts)),
      eventLog_(parts_.clock, *notifications_, parts_.workingDirectory, parts_.journal),
      WebBrowser1(parts_.createBrowser()),
      Timer1(parts_.ui.CreateTimer()),
      Timer2(parts_.ui.CreateTimer()) {
    Timer1->SetInterval(3000);
    Timer1->SetOnTimer([this] { RunHandler(parts_.ui, *this, [this] { Timer1Timer(); }); });
    Timer2->SetOnTimer([this] { RunHandler(parts_.ui, *this, [this] { Timer2Timer(); }); });
    WebBrowser1->SetEvents(&browserEvents_);
}

TForm1::~TForm1() {
    focusPoll_.Close();
    // Whatever a failed shutdown left running stops here, workers before the tables they read.
    StopMailWorker();
    FreeProxyServer();
    FreeTables();
}

void TForm1::IdHTTPProxyServer1Exception(TIdHTTPProxyServerContext& context, const std::string& failure) {
    try {
        WriteLog(LogLevel::Error, ProxyFailureMessage(context, failure));
    } catch (...) {
        // The log itself failed (its file cannot be opened): nothing is left to report it to, and a
        // failure must never leave a connection thread.
    }
}

void TForm1::IdHTTPProxyServer1HTTPBeforeCommand(TIdHTTPProxyServerContext& context) {
    RequestHook(context, *OptionTable, eventLog_, parts_.workingDirectory);
}

void TForm1::IdHTTPProxyServer1HTTPDocument(TIdHTTPProxyServerContext& context, std::string& body) {
    FilterDocument(
        context, body,
        {*OptionTable, *ErrorTable, *DocumentScripts, eventLog_, focusPoll_, parts_.workingDirectory});
}

// One pass of the mail worker, on the main thread. The settings are read anew for every text; the
// tables only change during start-up.
void TForm1::PumpMailQueue() {
    if (!MailTable || !ErrorTable) return;
    MailTransport transport(parts_.ui, parts_.clock);
    transport.antiFreeze = Controls.IdAntiFreeze1Active;
    NotificationSender sender(ReadMailSettings(*MailTable, *ErrorTable), transport);
    PumpNotificationQueue(
        *notifications_, [&](const std::string& text) { return sender.SendNotification(text); }, eventLog_);
}

std::string TForm1::StartPageUrl() const {
    return kiosk::StartPageUrl(Option("start"), ProgramDir);
}

std::string TForm1::Option(const char* key) const {
    return OptionTable ? OptionTable->Value(key) : std::string();
}

}  // namespace kiosk
