#include "app/application.h"

#include <exception>

#include "app/form1.h"

namespace kiosk {

void RunHandler(Ui& ui, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ui.ShowErrorBox(kApplicationTitle, failure.what());
    } catch (...) {
        ui.ShowErrorBox(kApplicationTitle, "Неизвестная ошибка");
    }
}

int RunApplication(FormParts parts, const ApplicationStages& stages) {
    Ui& ui = parts.ui;
    TForm1 form(std::move(parts));
    if (stages.created) stages.created(form);
    RunHandler(ui, [&] { form.FormCreate(); });
    if (stages.started) stages.started(form);
    ui.RunMessageLoop();
    RunHandler(ui, [&] { form.FormDestroy(); });
    if (stages.finished) stages.finished(form);
    return 0;
}

}  // namespace kiosk
