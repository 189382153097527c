#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kiosk {

// The current user's settings, organised in keys of named values that are either 32-bit integers or
// texts. On Windows these are the user's registry; elsewhere a store of the program's own.
class UserSettingsStore {
public:
    virtual ~UserSettingsStore() = default;

    // Opens key for reading and writing, creating it when it is missing. False when it can be neither
    // opened nor created.
    virtual bool OpenKey(const std::string& key) = 0;

    // Reads an integer value; throws std::runtime_error when it is absent or not an integer.
    virtual std::int32_t ReadInteger(const std::string& name) = 0;

    // Reads a text value; empty when it is absent; throws std::runtime_error when it is not a text.
    virtual std::string ReadText(const std::string& name) = 0;

    virtual bool ValueExists(const std::string& name) = 0;

    // Write a value; throw std::runtime_error when it cannot be written.
    virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
    virtual void WriteText(const std::string& name, const std::string& value) = 0;

    virtual void CloseKey() = 0;
};

// Announces that the user's Internet settings changed, so that browsers apply the new proxy.
class InternetSettingsNotifier {
public:
    virtual ~InternetSettingsNotifier() = default;
    virtual void SettingsChanged() = 0;
};

}  // namespace kiosk
