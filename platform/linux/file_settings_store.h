#pragma once

#include <map>
#include <optional>
#include <string>

#include "os/user_settings_store.h"

namespace kiosk {

// The user settings store on Linux: one text file per user, by default
// $XDG_CONFIG_HOME/kiosk-shell/user-settings (~/.config when XDG_CONFIG_HOME is not set), with a
// "[key]" line before each key's values and one "name=dword:N" or "name=sz:text" line per value.
// Every write goes to the file at once (through a temporary file and a rename).
class FileSettingsStore : public UserSettingsStore {
public:
    explicit FileSettingsStore(std::string path = DefaultPath());

    static std::string DefaultPath();

    bool OpenKey(const std::string& key) override;
    std::int32_t ReadInteger(const std::string& name) override;
    std::string ReadText(const std::string& name) override;
    bool ValueExists(const std::string& name) override;
    void WriteInteger(const std::string& name, std::int32_t value) override;
    void WriteText(const std::string& name, const std::string& value) override;
    void CloseKey() override;

private:
    using Values = std::map<std::string, std::string>;  // name -> "dword:N" or "sz:text"
    using Keys = std::map<std::string, Values>;

    bool Load(Keys& keys) const;
    bool Store(const Keys& keys) const;
    std::optional<std::string> Find(const std::string& name) const;
    void Write(const std::string& name, const std::string& typedValue);

    const std::string path_;
    std::string openKey_;
    bool isOpen_ = false;
};

}  // namespace kiosk
