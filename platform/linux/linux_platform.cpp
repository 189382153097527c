#include <sys/time.h>
#include <unistd.h>

#include <ctime>
#include <stdexcept>
#include <string>

#include "platform/linux/file_settings_store.h"
#include "platform/linux/glib_ui.h"
#include "platform/platform.h"

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

    std::string ExecutablePath() override {
        std::string path(4096, '\0');
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length <= 0) throw std::runtime_error("Невозможно определить путь программы");
        path.resize(static_cast<size_t>(length));
        return path;
    }

private:
    GlibUi ui_;
    SystemClock clock_;
    FileSettingsStore settings_;
};

}  // namespace

std::unique_ptr<Platform> CreatePlatform() {
    return std::make_unique<LinuxPlatform>();
}

}  // namespace kiosk
