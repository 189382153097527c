#pragma once

#include <memory>
#include <string>

#include "platform/ui.h"
#include "platform/user_settings_store.h"
#include "util/clock.h"

namespace kiosk {

// The services of the operating system the program is built for.
class Platform {
public:
    virtual ~Platform() = default;
    virtual Ui& GetUi() = 0;
    virtual const Clock& GetClock() = 0;
    virtual UserSettingsStore& GetUserSettings() = 0;
    // The full path of the running executable.
    virtual std::string ExecutablePath() = 0;
};

// The platform of this build; implemented once per operating system.
std::unique_ptr<Platform> CreatePlatform();

}  // namespace kiosk
