#include <sys/time.h>
#include <unistd.h>

#include <ctime>
#include <stdexcept>
#include <string>

#include "platform/linux/file_settings_store.h"
#include "platform/linux/gdk_full_screen.h"
#include "platform/linux/gdk_mouse_hook.h"
#include "platform/linux/gtk_keyboard_view.h"
#include "platform/linux/gtk_main_window.h"
#include "platform/linux/gtk_ui.h"
#include "platform/linux/program_fonts.h"
#include "platform/linux/screen_pixels_per_inch.h"
#include "platform/linux/systemd_journal.h"
#include "platform/linux/systemd_notifier.h"
#include "platform/linux/webkit_browser_control.h"
#include "platform/linux/x_display.h"
#include "platform/linux/xkb_keyboard_layout.h"
#include "platform/linux/xkb_keyboard_settings.h"
#include "platform/linux/xtest_key_injector.h"
#include "platform/platform.h"
#include "shell/density_scaling.h"

namespace kiosk {

namespace {

class SystemClock : public Clock {
public:
    DateTime Now() const override {
        timeval now{};
        ::gettimeofday(&now, nullptr);
        std::tm local{};
        ::localtime_r(&now.tv_sec, &local);
        return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                               local.tm_min, local.tm_sec, static_cast<int>(now.tv_usec / 1000)});
    }
};

class LinuxPlatform : public Platform {
public:
    Ui& GetUi() override { return ui_; }
    const Clock& GetClock() override { return clock_; }
    UserSettingsStore& GetUserSettings() override { return settings_; }
    SystemJournal& GetJournal() override { return journal_; }
    ServiceManager& GetServiceManager() override { return *serviceManager_; }

    std::string ExecutablePath() override {
        std::string path(4096, '\0');
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length <= 0) throw std::runtime_error("Невозможно определить путь программы");
        path.resize(static_cast<size_t>(length));
        return path;
    }

    int PixelsPerInch() override { return ScreenPixelsPerInch(); }
    int TextHeight(int fontHeight) override {
        return kiosk::TextHeight(kProgramFontFamilies, fontHeight, false);
    }

    MainWindowView& GetMainWindow() override { return window_; }
    std::unique_ptr<BrowserControl> CreateBrowserControl(InternetSettingsBroadcaster& notifier) override {
        return std::make_unique<WebKitBrowserControl>(window_.BrowserHost(), settings_, notifier,
                                                      certificateTrust_, sandbox_);
    }
    std::string BrowserSandboxProblem() override { return sandbox_.Problem(); }
    BrowserCertificateTrust& GetCertificateTrust() override { return certificateTrust_; }
    MouseHookInstaller& GetMouseHooks() override { return mouseHooks_; }
    FullScreenSizer& GetFullScreen() override { return fullScreen_; }

    KeyInjector& GetKeyInjector() override { return keyInjector_; }
    KeyboardLayout& GetKeyboardLayout() override { return keyboardLayout_; }
    UserSettingsStore& GetKeyboardSettings() override { return keyboardSettings_; }
    void ShowKeyboardKeys(TemplateOnScreenKeyboard& keyboard) override {
        keyboardView_ = std::make_unique<GtkKeyboardView>(window_.KeyboardHost(), keyboard);
        keyboardView_->Build();
        window_.SetExtraSync([this] { keyboardView_->Sync(); });
    }

private:
    // The window's font and picture sizes for this screen's density.
    WindowFonts FontsForScreen() {
        const int ppi = PixelsPerInch();
        const ScaleRatio ratio =
            DensityScale(ppi, kMainWindowDesign, [this](int height) { return TextHeight(height); });
        return WindowFonts{.text = ScaledFontHeight(kMainWindowDesign.FontHeight, ppi, kMainWindowDesign),
                           .caption = ScaledFontHeight(kOutOfOrderFontHeight, ppi, kMainWindowDesign),
                           .picture = ratio.Apply(32)};
    }

    // Before GTK starts, so that its first text already finds Tahoma.
    struct ProgramFonts {
        ProgramFonts() { AddProgramFonts(); }
    } fonts_;
    // Before anything starts a process, which would otherwise inherit the manager's variables.
    std::unique_ptr<SystemdNotifier> serviceManager_ = SystemdNotifier::FromEnvironment();
    // Its trial run of bubblewrap goes on while GTK starts.
    WebKitSandbox sandbox_;
    SystemdJournal journal_;
    GtkUi ui_;
    SystemClock clock_;
    FileSettingsStore settings_;
    GtkMainWindow window_{ui_, FontsForScreen()};
    GdkMouseHookInstaller mouseHooks_;
    GdkFullScreenSizer fullScreen_;
    XTestKeyInjector keyInjector_{GdkXDisplay()};
    XkbKeyboardLayout keyboardLayout_;
    XkbKeyboardSettings keyboardSettings_{GdkXDisplay()};
    std::unique_ptr<GtkKeyboardView> keyboardView_;
    WebKitCertificateTrust certificateTrust_;
};

}  // namespace

std::unique_ptr<Platform> CreatePlatform() {
    return std::make_unique<LinuxPlatform>();
}

}  // namespace kiosk
