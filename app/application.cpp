#include "app/application.h"

#include <exception>

#include "app/form1.h"

namespace kiosk {

namespace {

void ReportFailure(Ui& ui, TForm1& form, const std::string& message) {
    try {
        form.WriteLog(LogLevel::Error, message);
    } catch (...) {
        // The log itself failed; the box still tells.
    }
    ui.ShowErrorBox(kApplicationTitle, message);
}

}  // namespace

void RunHandler(Ui& ui, TForm1& form, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ReportFailure(ui, form, failure.what());
    } catch (...) {
        ReportFailure(ui, form, "Неизвестная ошибка");
    }
}

int RunApplication(FormParts parts, const ApplicationStages& stages) {
    Ui& ui = parts.ui;
    TForm1 form(std::move(parts));
    if (stages.created) stages.created(form);
    RunHandler(ui, form, [&] { form.FormCreate(); });
    if (stages.started) stages.started(form);
    ui.RunMessageLoop();
    if (stages.stopping) stages.stopping(form);
    RunHandler(ui, form, [&] { form.FormDestroy(); });
    if (stages.finished) stages.finished(form);
    return 0;
}

}  // namespace kiosk
