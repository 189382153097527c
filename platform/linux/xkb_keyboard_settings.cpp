#include "platform/linux/xkb_keyboard_settings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>
#include <stdexcept>

#include "platform/linux/xkb_layout_names.h"
#include "text/ascii.h"

namespace kiosk {
namespace {

constexpr char kPreloadKey[] = "Keyboard Layout\\Preload";
constexpr char kToggleKey[] = "Keyboard Layout\\Toggle";

// Registry key names are compared without regard to case.
bool SameKey(const std::string& a, const char* b) {
    return AsciiEqualsIgnoringCase(a, b);
}

std::map<std::string, std::string> PreloadValues(const XkbRulesNames& names) {
    std::map<std::string, std::string> values;
    int number = 0;
    for (const std::string& layout : SplitList(names.Layout)) {
        values[std::to_string(++number)] = PreloadValue(layout);
    }
    return values;
}

}  // namespace

std::string XkbKeyboardSettings::ReadRulesProperty() const {
    const Atom property = XInternAtom(display_, "_XKB_RULES_NAMES", True);
    if (property == None) return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display_, DefaultRootWindow(display_), property, 0, 4096, False,
                                          XA_STRING, &type, &format, &count, &remaining, &data);
    const std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
    if (status != Success || data == nullptr || type != XA_STRING || format != 8) return {};
    return std::string(reinterpret_cast<const char*>(data), count);
}

bool XkbKeyboardSettings::OpenKey(const std::string& key) {
    values_.clear();
    if (SameKey(key, kPreloadKey)) {
        values_ = PreloadValues(ParseRulesNames(ReadRulesProperty()));
        return true;
    }
    if (SameKey(key, kToggleKey)) {
        values_["Hotkey"] = HotkeyValue(ParseRulesNames(ReadRulesProperty()).Options);
        return true;
    }
    return false;
}

std::int32_t XkbKeyboardSettings::ReadInteger(const std::string& name) {
    throw std::runtime_error(ValueExists(name) ? "keyboard setting " + name + " is a text"
                                               : "no keyboard setting " + name);
}

std::string XkbKeyboardSettings::ReadText(const std::string& name) {
    const auto found = values_.find(name);
    return found != values_.end() ? found->second : std::string();
}

bool XkbKeyboardSettings::ValueExists(const std::string& name) {
    return values_.contains(name);
}

void XkbKeyboardSettings::WriteInteger(const std::string& name, std::int32_t) {
    throw std::runtime_error("keyboard setting " + name + " cannot be written");
}

void XkbKeyboardSettings::WriteText(const std::string& name, const std::string&) {
    throw std::runtime_error("keyboard setting " + name + " cannot be written");
}

}  // namespace kiosk
