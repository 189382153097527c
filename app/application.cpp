#include "app/application.h"

#include <exception>

#include "app/main_window.h"

namespace kiosk {

namespace {

void ReportFailure(Ui& ui, MainWindow& window, const std::string& message) {
    try {
        window.WriteLog(LogLevel::Error, message);
    } catch (...) {
        // The log itself failed; the box still tells.
    }
    ui.ShowErrorBox(kApplicationTitle, message);
}

}  // namespace

void RunHandler(Ui& ui, MainWindow& window, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ReportFailure(ui, window, failure.what());
    } catch (...) {
        ReportFailure(ui, window, "Неизвестная ошибка");
    }
}

int RunApplication(MainWindowParts parts, const ApplicationStages& stages) {
    Ui& ui = parts.ui;
    MainWindow window(std::move(parts));
    if (stages.created) stages.created(window);
    RunHandler(ui, window, [&] { window.StartUp(); });
    if (stages.started) stages.started(window);
    ui.RunMessageLoop();
    if (stages.stopping) stages.stopping(window);
    RunHandler(ui, window, [&] { window.ShutDown(); });
    if (stages.finished) stages.finished(window);
    return 0;
}

}  // namespace kiosk
