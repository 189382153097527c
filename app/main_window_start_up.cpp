// The start-up sequence of the main window.

#include <algorithm>
#include <chrono>
#include <optional>

#include "app/main_window.h"
#include "app/program_path.h"
#include "config/config_loader.h"
#include "config/option_defaults.h"
#include "proxy/filter/document_filter.h"
#include "shell/browser_languages.h"
#include "shell/busy_animation.h"
#include "shell/visitor_browser.h"
#include "util/integer_text.h"
#include "util/paths.h"

namespace kiosk {

namespace {

constexpr long long kMillisecondsPerMinute = 60 * 1000;
constexpr long long kLongestTimerInterval = 0x7FFFFFFF;

}  // namespace

void MainWindow::StartUp() {
    const ProgramPath path = SplitProgramPath(parts_.executablePath);
    ProgramName = path.name;
    ProgramDir = path.directory;
    ResetProcessValues();
    Proxy = parts_.createProxyServer();
    // Errors of start-up wait in the queue until it has finished, so that the mail worker reads the
    // tables only once they are filled.
    notifications_->Hold();
    const struct ReleaseAtTheEnd {
        NotificationQueue& queue;
        ~ReleaseAtTheEnd() { queue.Release(); }
    } release{*notifications_};
    MailSender = parts_.createMailWorker(notifications_,
                                         [this](std::stop_token stop) { PumpMailQueue(std::move(stop)); });
    CreateTables();
    if (!OutOfOrder) LoadConfigurationFile();
    WriteLog(LogLevel::Error, parts_.browserSandboxProblem);
    ApplyBrowserLanguages();
    ApplyButtonAndTimerOptions();
    if (!OutOfOrder && !Option("process").empty()) LoadBusyPicture();
    if (!OutOfOrder) StartProxy();
    parts_.fullScreen.FitToScreen(Controls);
    PlaceKeyboard();
    CheckLayout();
    EnterRunState();
    startTime_ =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    WriteMetrics();
    metricsTimer_->SetEnabled(!Option("metrics").empty());
}

void MainWindow::ApplyBrowserLanguages() {
    browserLanguages_ = PreferredLanguages(Option("language"), parts_.locale);
    Browser->SetPreferredLanguages(browserLanguages_);
}

void MainWindow::ResetProcessValues() {
    MouseHook = kNoMouseHook;
    OutOfOrder = false;
    eventLog_.ResetLastLogText();
    notifications_->ResetLastNotification();
    DocumentCounter = -1;
    LastActionTime = 0;
}

void MainWindow::CreateTables() {
    OptionTable = std::make_unique<KeyValueTable>();
    MailTable = std::make_unique<KeyValueTable>();
    ErrorTable = std::make_unique<KeyValueTable>();
    DocumentScripts = std::make_unique<DocumentScriptList>();
    OperatorTable = std::make_unique<KeyValueTable>();
    MailQueue = notifications_;
    eventLog_.AttachOptions(OptionTable.get());
    try {
        parts_.fillDefaultRows(*OptionTable, *MailTable, *ErrorTable, *OperatorTable);
    } catch (const std::exception&) {
        OutOfOrder = true;
    }
}

void MainWindow::LoadConfigurationFile() {
    const std::string error =
        LoadConfiguration(ResolvePath(parts_.workingDirectory, ProgramName + ".cfg"), ProgramName,
                          {*OptionTable, *MailTable, *ErrorTable, *OperatorTable, *DocumentScripts});
    if (!error.empty()) OutOfOrder = true;
    WriteLog(LogLevel::Error, error);
}

void MainWindow::ApplyButtonAndTimerOptions() {
    if (Option("back") == "false") {
        Controls.BackButton.Enabled = false;
        Controls.BackButton.Visible = false;
    }
    // Very large minute counts would overflow the timer's interval; they are held at its longest.
    const long long minutes = IntegerOr(Option("sleep"), kDefaultSleepMinutes);
    const long long interval = minutes * kMillisecondsPerMinute;
    IdleTimer->SetInterval(std::min(interval, kLongestTimerInterval));
}

void MainWindow::LoadBusyPicture() {
    const std::string process = Option("process");
    if (!LoadGifPicture(ResolvePath(parts_.workingDirectory, process), Controls.BusyAnimation.Picture)) {
        WriteLog(LogLevel::Error, "Файл: " + process + " - Невозможно загрузить");
    }
}

// A port the proxy cannot listen on would leave every page failing with nothing said why, and one cut
// to 16 bits would listen elsewhere than the setting names: the terminal goes out of order instead.
void MainWindow::StartProxy() {
    const std::optional<std::int32_t> port = ParseInteger(Option("internal"));
    if (!port || *port < 1 || *port > 65535) {
        OutOfOrder = true;
        WriteLog(LogLevel::Error, "Недопустимый порт прокси: internal=" + Option("internal"));
        return;
    }
    parts_.systemProxySetting.Save(SavedProxy);
    const std::string error = parts_.systemProxySetting.Set(1, 0, "127.0.0.1:" + Option("internal"));
    if (error.empty()) {
        proxySettingWasSet_ = true;
        ConfigureAndActivateProxy();
    } else {
        OutOfOrder = true;
    }
    WriteLog(LogLevel::Error, error);
}

void MainWindow::ConfigureAndActivateProxy() {
    ProxyServerSettings settings;
    settings.DefaultTransferMode = BodyTransfer::FullDocument;
    settings.ListenQueue = 15;
    settings.ReuseSocket = SocketReuse::SystemDefault;
    settings.TerminateWaitTime = 5000;
    settings.DefaultPort = IntegerOr(Option("internal"), kDefaultInternalPort);
    settings.Inspection = CreateHttpsInspection();
    Proxy->Configure(settings);
    ProxyHooks hooks;
    hooks.OnFailure = [this](ProxyConnection& context, const std::string& failure) {
        OnProxyFailure(context, failure);
    };
    hooks.OnRequest = [this](ProxyConnection& context) { OnProxyRequest(context); };
    hooks.WantsDocument = [this](const ProxyConnection& context) {
        return kiosk::WantsDocument(context, *DocumentScripts);
    };
    hooks.OnDocument = [this](ProxyConnection& context, std::string& body) {
        OnProxyDocument(context, body);
    };
    Proxy->SetHooks(std::move(hooks));
    Proxy->SetActive(true);
}

// Nothing is decrypted when no host can be ("https" says "tunnel", or no script names a host), or
// when the run's CA or the origins' CAs cannot be had: the error is logged and every CONNECT stays a
// tunnel for this run. The CA is made anew for every run, and only when some host can be decrypted;
// what earlier runs left in its folder goes first.
std::shared_ptr<HttpsInspection> MainWindow::CreateHttpsInspection() {
    WriteLog(LogLevel::Error, RemoveEarlierCaFiles(parts_.caFolder));
    const std::string https = Option("https");
    if (InspectionPolicy(https, *DocumentScripts).InspectsNothing()) return nullptr;
    const std::string caFile = Option("cafile");
    const HttpsInspectionSettings settings{
        .httpsOption = https,
        .caFolder = parts_.caFolder,
        .caFile = caFile.empty() ? std::string() : ResolvePath(parts_.workingDirectory, caFile),
    };
    try {
        return std::make_shared<HttpsInspection>(settings, *DocumentScripts, leafTrust_);
    } catch (const std::exception& failure) {
        WriteLog(LogLevel::Error, std::string("HTTPS не расшифровывается: ") + failure.what());
        return nullptr;
    }
}

void MainWindow::PlaceKeyboard() {
    parts_.keyboard.PlaceKeyboard(Controls.KeyboardPlace, Controls,
                                  IntegerOr(Option("keys"), kDefaultKeyboardKeys),
                                  IntegerOr(Option("interval"), kDefaultKeyboardInterval));
    parts_.keyboard.SetCopyPasteSwitches(false, true);
    parts_.ui.ProcessMessages();
    const PanelModel& buttons = Controls.ButtonArea;
    MinButtonPanelWidth = buttons.Padding.Left + Controls.HomeButton.Width + buttons.Padding.Right;
    Controls.KeyboardPlace.Left =
        Controls.Window.Width - Controls.BusyAnimation.Width - Controls.KeyboardPlace.Width;
}

void MainWindow::CheckLayout() {
    const ControlModel& home = Controls.HomeButton;
    if (home.Left + home.Width + Controls.ButtonArea.Padding.Right > Controls.KeyboardPlace.Left) {
        OutOfOrder = true;
        WriteLog(LogLevel::Error, "Слишком большая виртуальная клавиатура");
    }
}

void MainWindow::EnterRunState() {
    if (OutOfOrder) {
        LastActionTime = parts_.clock.Now();
        Browser->SetVisible(false);
        Controls.Browser.Visible = false;
        WriteLog(LogLevel::Error, "Не работает");
        return;
    }
    if (Option("menu") == "false") MouseHook = parts_.mouseHooks.Install();
    Browser->SetVisible(true);
    LockDownVisitorBrowser(*Browser);
    WriteLog(LogLevel::Information, "Начало работы");
    Browser->Navigate(StartPageUrl());
    LastActionTime = parts_.clock.Now();
    kiosk::SetBusy(Controls.BusyAnimation, true);
}

}  // namespace kiosk
