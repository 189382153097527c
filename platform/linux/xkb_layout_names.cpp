#include "platform/linux/xkb_layout_names.h"

#include <cstdio>

namespace kiosk {
namespace {

constexpr LayoutLanguage kLayouts[] = {
    {"us", 0x0409}, {"gb", 0x0809}, {"au", 0x0C09}, {"ie", 0x1809}, {"za", 0x1C09},    {"nz", 0x1409},
    {"ru", 0x0419}, {"ua", 0x0422}, {"by", 0x0423}, {"de", 0x0407}, {"at", 0x0C07},    {"ch", 0x0807},
    {"fr", 0x040C}, {"be", 0x080C}, {"ca", 0x0C0C}, {"es", 0x040A}, {"latam", 0x080A}, {"it", 0x0410},
    {"pt", 0x0816}, {"br", 0x0416}, {"nl", 0x0413}, {"se", 0x041D}, {"no", 0x0414},    {"dk", 0x0406},
    {"fi", 0x040B}, {"is", 0x040F}, {"fo", 0x0438}, {"ee", 0x0425}, {"lv", 0x0426},    {"lt", 0x0427},
    {"pl", 0x0415}, {"cz", 0x0405}, {"sk", 0x041B}, {"hu", 0x040E}, {"ro", 0x0418},    {"md", 0x0418},
    {"bg", 0x0402}, {"si", 0x0424}, {"hr", 0x041A}, {"rs", 0x0C1A}, {"ba", 0x141A},    {"mk", 0x042F},
    {"al", 0x041C}, {"gr", 0x0408}, {"tr", 0x041F}, {"mt", 0x043A}, {"il", 0x040D},    {"ara", 0x0401},
    {"ir", 0x0429}, {"pk", 0x0420}, {"am", 0x042B}, {"ge", 0x0437}, {"az", 0x042C},    {"kz", 0x043F},
    {"kg", 0x0440}, {"uz", 0x0443}, {"mn", 0x0450}, {"in", 0x0439}, {"th", 0x041E},    {"vn", 0x042A},
    {"jp", 0x0411}, {"kr", 0x0412}, {"cn", 0x0804}, {"tw", 0x0404}, {"ph", 0x0464},    {"tz", 0x0441},
    {"ke", 0x0441},
};

// A custom locale without an identifier of its own: positive, and without a language name.
constexpr std::uint32_t kNoLanguage = 0x1000;

}  // namespace

std::span<const LayoutLanguage> LayoutLanguages() {
    return kLayouts;
}

XkbRulesNames ParseRulesNames(std::string_view property) {
    XkbRulesNames names;
    std::string* const fields[] = {&names.Rules, &names.Model, &names.Layout, &names.Variant, &names.Options};
    for (std::string* field : fields) {
        const std::size_t end = property.find('\0');
        *field = std::string(property.substr(0, end));
        if (end == std::string_view::npos) break;
        property.remove_prefix(end + 1);
    }
    return names;
}

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> items;
    if (list.empty()) return items;
    while (true) {
        const std::size_t comma = list.find(',');
        items.emplace_back(list.substr(0, comma));
        if (comma == std::string_view::npos) return items;
        list.remove_prefix(comma + 1);
    }
}

std::uint16_t LanguageOfLayout(std::string_view layout) {
    for (const LayoutLanguage& entry : kLayouts) {
        if (entry.Layout == layout) return entry.Language;
    }
    return 0;
}

std::string PreloadValue(std::string_view layout) {
    const std::uint16_t language = LanguageOfLayout(layout);
    char text[9];
    std::snprintf(text, sizeof text, "%08X", language != 0 ? std::uint32_t{language} : kNoLanguage);
    return text;
}

std::string HotkeyValue(std::string_view options) {
    for (const std::string& option : SplitList(options)) {
        if (option == "grp:alt_shift_toggle" || option == "grp:lalt_lshift_toggle") return "1";
        if (option == "grp:ctrl_shift_toggle" || option == "grp:lctrl_lshift_toggle") return "2";
    }
    return "3";
}

}  // namespace kiosk
