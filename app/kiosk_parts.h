#pragma once

#include "app/form_parts.h"
#include "keyboard/placeholder_keyboard_devices.h"
#include "keyboard/template_keyboard.h"
#include "platform/internet_settings_broadcaster.h"
#include "platform/platform.h"
#include "proxy/internet_proxy_setting.h"
#include "shell/full_screen.h"
#include "shell/mouse_hook.h"

namespace kiosk {

// The program's own parts of the main window, on the given platform. Pieces that are not built yet
// are placeholders, each named so.
class KioskParts {
public:
    explicit KioskParts(Platform& platform)
        : platform_(platform),
          systemProxySetting_(platform.GetUserSettings(), internetSettings_),
          keyboard_(keyInjector_, keyboardLayout_, keyboardSettings_,
                    [&platform] { platform.GetUi().ProcessMessages(); }) {}
    FormParts Parts();

private:
    Platform& platform_;
    InternetSettingsBroadcaster internetSettings_;
    InternetProxySetting systemProxySetting_;
    PlaceholderKeyInjector keyInjector_;
    PlaceholderKeyboardLayout keyboardLayout_;
    PlaceholderKeyboardSettings keyboardSettings_;
    TemplateOnScreenKeyboard keyboard_;
    PlaceholderMouseHookInstaller mouseHooks_;
    PlaceholderFullScreenSizer fullScreen_;
};

}  // namespace kiosk
