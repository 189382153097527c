#pragma once

#include <memory>
#include <string>

#include "keyboard/key_injector.h"
#include "keyboard/keyboard_layout.h"
#include "keyboard/template_keyboard.h"
#include "os/internet_settings_broadcaster.h"
#include "os/service_manager.h"
#include "os/system_journal.h"
#include "os/ui.h"
#include "os/user_settings_store.h"
#include "proxy/tls/leaf_trust.h"
#include "shell/browser_control.h"
#include "shell/full_screen.h"
#include "shell/main_window_view.h"
#include "shell/mouse_hook.h"
#include "util/clock.h"

namespace kiosk {

// The services of the operating system the program is built for.
class Platform {
public:
    virtual ~Platform() = default;
    virtual Ui& GetUi() = 0;
    virtual const Clock& GetClock() = 0;
    virtual UserSettingsStore& GetUserSettings() = 0;
    // The system's log service, which also gets every log entry.
    virtual SystemJournal& GetJournal() = 0;
    // The service manager that started the program, told when start-up has finished.
    virtual ServiceManager& GetServiceManager() = 0;
    // The full path of the running executable.
    virtual std::string ExecutablePath() = 0;

    // The screen's density, and the text height in pixels that the window's font gives at a character
    // height in pixels (0 when it cannot be measured).
    virtual int PixelsPerInch() = 0;
    virtual int TextHeight(int fontHeight) = 0;

    // The main window, which exists as long as the platform does.
    virtual MainWindowView& GetMainWindow() = 0;
    // A browser control inside the main window's page area, using the proxy of the user settings and
    // following the changes that notifier announces.
    virtual std::unique_ptr<BrowserControl> CreateBrowserControl(InternetSettingsBroadcaster& notifier) = 0;
    // The browser's list of certificates it accepts for a host beyond its CAs: every web context the
    // browser uses, now or later, accepts them.
    virtual BrowserCertificateTrust& GetCertificateTrust() = 0;
    // Why the browser's pages run without a sandbox here; empty when they run in one.
    virtual std::string BrowserSandboxProblem() = 0;
    virtual MouseHookInstaller& GetMouseHooks() = 0;
    virtual FullScreenSizer& GetFullScreen() = 0;

    virtual KeyInjector& GetKeyInjector() = 0;
    virtual KeyboardLayout& GetKeyboardLayout() = 0;
    // The keyboard values the system keeps: the input languages and the language-switch chord.
    virtual UserSettingsStore& GetKeyboardSettings() = 0;
    // Shows the keyboard's placed keys in the main window's keyboard place.
    virtual void ShowKeyboardKeys(TemplateOnScreenKeyboard& keyboard) = 0;
};

// The platform of this build; implemented once per operating system. Throws std::runtime_error when
// the window system cannot be reached.
std::unique_ptr<Platform> CreatePlatform();

}  // namespace kiosk
