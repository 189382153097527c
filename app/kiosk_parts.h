#pragma once

#include "app/application.h"
#include "app/main_window_parts.h"
#include "keyboard/template_keyboard.h"
#include "os/internet_settings_broadcaster.h"
#include "platform/platform.h"
#include "proxy/internet_proxy_setting.h"

namespace kiosk {

// The program's own parts of the main window, on the given platform.
class KioskParts {
public:
    explicit KioskParts(Platform& platform)
        : platform_(platform),
          systemProxySetting_(platform.GetUserSettings(), internetSettings_),
          keyboard_(platform.GetKeyInjector(), platform.GetKeyboardLayout(), platform.GetKeyboardSettings(),
                    [&platform] { platform.GetUi().ProcessMessages(); }) {}
    MainWindowParts Parts();
    // Connects the window on the screen to the main window's logic: its buttons, its key releases, the
    // keyboard's keys.
    ApplicationStages Stages();

private:
    void ScaleToScreen(MainWindow& window);
    void AttachWindow(MainWindow& window);

    Platform& platform_;
    InternetSettingsBroadcaster internetSettings_;
    InternetProxySetting systemProxySetting_;
    TemplateOnScreenKeyboard keyboard_;
};

}  // namespace kiosk
