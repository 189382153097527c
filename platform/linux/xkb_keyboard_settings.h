#pragma once

#include <map>
#include <string>

#include "os/user_settings_store.h"
#include "platform/linux/x_display.h"

namespace kiosk {

// The keyboard's settings as the X server's XKB setup gives them, read-only:
// "Keyboard Layout\Preload" has the values "1", "2", ... with the layout identifier of each XKB
// layout in group order, and "Keyboard Layout\Toggle" the value "Hotkey" with the language-switch
// chord ("1" Alt+Shift, "2" Ctrl+Shift, "3" none). All values are texts, read from the server when
// their key is opened. No other key exists, and nothing can be written.
class XkbKeyboardSettings : public UserSettingsStore {
public:
    // display is not owned and must outlive the store.
    explicit XkbKeyboardSettings(Display* display) : display_(display) {}

    bool OpenKey(const std::string& key) override;
    std::int32_t ReadInteger(const std::string& name) override;
    std::string ReadText(const std::string& name) override;
    bool ValueExists(const std::string& name) override;
    void WriteInteger(const std::string& name, std::int32_t value) override;
    void WriteText(const std::string& name, const std::string& value) override;
    void CloseKey() override { values_.clear(); }

private:
    std::string ReadRulesProperty() const;

    Display* display_;
    std::map<std::string, std::string> values_;  // of the open key
};

}  // namespace kiosk
