#include "platform/linux/file_settings_store.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "os/text_files.h"
#include "os/user_config_folder.h"

namespace kiosk {

namespace {

constexpr const char* kIntegerPrefix = "dword:";
constexpr const char* kTextPrefix = "sz:";
constexpr const char* kInternetSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Texts keep their line breaks and backslashes escaped, so a value is always one line.
std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string path) : path_(std::move(path)) {}

std::string FileSettingsStore::DefaultPath() {
    return UserConfigFolder() + "/user-settings";
}

bool FileSettingsStore::Load(Keys& keys) const {
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) return !error;
    std::ifstream in(path_);
    if (!in) return false;
    std::string line;
    Values* current = nullptr;
    while (std::getline(in, line)) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &keys[line.substr(1, line.size() - 2)];
        } else if (const size_t equals = line.find('='); current != nullptr && equals != std::string::npos) {
            (*current)[line.substr(0, equals)] = Unescape(line.substr(equals + 1));
        }
    }
    return !in.bad();
}

bool FileSettingsStore::Store(const Keys& keys) const {
    std::ostringstream text;
    for (const auto& [key, values] : keys) {
        text << '[' << key << "]\n";
        for (const auto& [name, value] : values) text << name << '=' << Escape(value) << '\n';
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
    return ReplaceFileAtomically(path_, text.str()).empty();
}

bool FileSettingsStore::OpenKey(const std::string& key) {
    Keys keys;
    if (!Load(keys)) return false;
    if (keys.find(key) == keys.end()) {
        // A new Internet Settings key starts as the system's own does: with the proxy switched off.
        keys[key] = key == kInternetSettings ? Values{{"ProxyEnable", "dword:0"}} : Values{};
        if (!Store(keys)) return false;
    }
    openKey_ = key;
    isOpen_ = true;
    return true;
}

std::optional<std::string> FileSettingsStore::Find(const std::string& name) const {
    Keys keys;
    if (!isOpen_ || !Load(keys)) throw std::runtime_error("Невозможно прочитать настройку " + name);
    const Values& values = keys[openKey_];
    const auto value = values.find(name);
    if (value == values.end()) return std::nullopt;
    return value->second;
}

std::int32_t FileSettingsStore::ReadInteger(const std::string& name) {
    const std::optional<std::string> value = Find(name);
    if (!value || !value->starts_with(kIntegerPrefix)) {
        throw std::runtime_error("Неверный тип данных для '" + name + "'");
    }
    try {
        return static_cast<std::int32_t>(std::stol(value->substr(6)));
    } catch (const std::exception&) {
        throw std::runtime_error("Неверный тип данных для '" + name + "'");
    }
}

std::string FileSettingsStore::ReadText(const std::string& name) {
    const std::optional<std::string> value = Find(name);
    if (!value) return {};
    if (!value->starts_with(kTextPrefix)) throw std::runtime_error("Неверный тип данных для '" + name + "'");
    return value->substr(3);
}

bool FileSettingsStore::ValueExists(const std::string& name) {
    try {
        return Find(name).has_value();
    } catch (const std::exception&) {
        return false;
    }
}

void FileSettingsStore::Write(const std::string& name, const std::string& typedValue) {
    Keys keys;
    if (!isOpen_ || !Load(keys)) throw std::runtime_error("Невозможно записать настройку " + name);
    keys[openKey_][name] = typedValue;
    if (!Store(keys)) throw std::runtime_error("Невозможно записать настройку " + name);
}

void FileSettingsStore::WriteInteger(const std::string& name, std::int32_t value) {
    Write(name, kIntegerPrefix + std::to_string(value));
}

void FileSettingsStore::WriteText(const std::string& name, const std::string& value) {
    Write(name, kTextPrefix + value);
}

void FileSettingsStore::CloseKey() {
    isOpen_ = false;
}

}  // namespace kiosk
