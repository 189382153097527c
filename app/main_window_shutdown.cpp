// The shutdown sequence of the main window.

#include "app/main_window.h"

namespace kiosk {

void MainWindow::ShutDown() {
    if (!OutOfOrder) {
        if (Browser) Browser->Navigate("about:blank");
        if (proxySettingWasSet_) RestoreProxySetting();
        if (Proxy) Proxy->SetActive(false);
        parts_.ui.ProcessMessages();
        if (MouseHook != kNoMouseHook) {
            parts_.mouseHooks.Remove(MouseHook);
            MouseHook = kNoMouseHook;
        }
        WriteLog(LogLevel::Information, "Завершение работы");
    } else if (proxySettingWasSet_) {
        // Out of order after the setting was changed (the keyboard did not fit): undo it all the same.
        RestoreProxySetting();
    }
    StopMailWorker();
    FreeProxyServer();
    metricsTimer_->SetEnabled(false);
    WriteMetrics(false);
    // No proxy thread is left to ask for the poll; starts still queued do nothing.
    focusPoll_.Close();
    leafTrust_.Close();
    FocusPollTimer->SetEnabled(false);
    FreeTables();
}

void MainWindow::RestoreProxySetting() {
    const std::string error =
        parts_.systemProxySetting.Set(SavedProxy.enable, SavedProxy.syncMode, SavedProxy.server);
    WriteLog(LogLevel::Error, error);
}

void MainWindow::StopMailWorker() {
    if (!MailSender) return;
    if (!MailSender->Suspended()) MailSender->Suspend();
    if (!MailSender->Terminated()) MailSender->Terminate();
    MailSender.reset();
}

void MainWindow::FreeProxyServer() {
    if (!Proxy) return;
    Proxy->SetActive(false);
    Proxy.reset();
}

void MainWindow::FreeTables() {
    eventLog_.AttachOptions(nullptr);
    OptionTable.reset();
    MailTable.reset();
    ErrorTable.reset();
    if (DocumentScripts) DocumentScripts->clear();
    DocumentScripts.reset();
    OperatorTable.reset();
    // Texts still waiting are not sent; the log's later hand-offs go nowhere.
    notifications_->Close();
    MailQueue.reset();
}

}  // namespace kiosk
