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

int RunApplication(FormParts parts) {
    Ui& ui = parts.ui;
    TForm1 form(std::move(parts));
    RunHandler(ui, [&] { form.FormCreate(); });
    ui.RunMessageLoop();
    RunHandler(ui, [&] { form.FormDestroy(); });
    return 0;
}

}  // namespace kiosk
