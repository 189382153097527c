#include "text/charset_label.h"

#include <array>

#include "text/ascii.h"

namespace kiosk {

namespace {

struct CharsetLabel {
    std::string_view label;
    std::string_view name;
};

// The WHATWG labels of the charsets the program converts to and from.
constexpr std::array kLabels = {
    CharsetLabel{"unicode-1-1-utf-8", "UTF-8"},
    CharsetLabel{"unicode11utf8", "UTF-8"},
    CharsetLabel{"unicode20utf8", "UTF-8"},
    CharsetLabel{"utf-8", "UTF-8"},
    CharsetLabel{"utf8", "UTF-8"},
    CharsetLabel{"x-unicode20utf8", "UTF-8"},
    CharsetLabel{"cp1251", "windows-1251"},
    CharsetLabel{"windows-1251", "windows-1251"},
    CharsetLabel{"x-cp1251", "windows-1251"},
    CharsetLabel{"cskoi8r", "KOI8-R"},
    CharsetLabel{"koi", "KOI8-R"},
    CharsetLabel{"koi8", "KOI8-R"},
    CharsetLabel{"koi8-r", "KOI8-R"},
    CharsetLabel{"koi8_r", "KOI8-R"},
    CharsetLabel{"koi8-ru", "KOI8-U"},
    CharsetLabel{"koi8-u", "KOI8-U"},
    CharsetLabel{"csisolatincyrillic", "ISO-8859-5"},
    CharsetLabel{"cyrillic", "ISO-8859-5"},
    CharsetLabel{"iso-8859-5", "ISO-8859-5"},
    CharsetLabel{"iso-ir-144", "ISO-8859-5"},
    CharsetLabel{"iso8859-5", "ISO-8859-5"},
    CharsetLabel{"iso88595", "ISO-8859-5"},
    CharsetLabel{"iso_8859-5", "ISO-8859-5"},
    CharsetLabel{"iso_8859-5:1988", "ISO-8859-5"},
    CharsetLabel{"866", "IBM866"},
    CharsetLabel{"cp866", "IBM866"},
    CharsetLabel{"csibm866", "IBM866"},
    CharsetLabel{"ibm866", "IBM866"},
    CharsetLabel{"ansi_x3.4-1968", "windows-1252"},
    CharsetLabel{"ascii", "windows-1252"},
    CharsetLabel{"cp1252", "windows-1252"},
    CharsetLabel{"cp819", "windows-1252"},
    CharsetLabel{"csisolatin1", "windows-1252"},
    CharsetLabel{"ibm819", "windows-1252"},
    CharsetLabel{"iso-8859-1", "windows-1252"},
    CharsetLabel{"iso-ir-100", "windows-1252"},
    CharsetLabel{"iso8859-1", "windows-1252"},
    CharsetLabel{"iso88591", "windows-1252"},
    CharsetLabel{"iso_8859-1", "windows-1252"},
    CharsetLabel{"iso_8859-1:1987", "windows-1252"},
    CharsetLabel{"l1", "windows-1252"},
    CharsetLabel{"latin1", "windows-1252"},
    CharsetLabel{"us-ascii", "windows-1252"},
    CharsetLabel{"windows-1252", "windows-1252"},
    CharsetLabel{"x-cp1252", "windows-1252"},
    CharsetLabel{"unicodefffe", "UTF-16BE"},
    CharsetLabel{"utf-16be", "UTF-16BE"},
    CharsetLabel{"csunicode", "UTF-16LE"},
    CharsetLabel{"iso-10646-ucs-2", "UTF-16LE"},
    CharsetLabel{"ucs-2", "UTF-16LE"},
    CharsetLabel{"unicode", "UTF-16LE"},
    CharsetLabel{"unicodefeff", "UTF-16LE"},
    CharsetLabel{"utf-16", "UTF-16LE"},
    CharsetLabel{"utf-16le", "UTF-16LE"},
};

// The blanks HTML and HTTP allow around a label: space, tab, LF, FF, CR.
bool IsLabelBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

std::string_view TrimLabelBlanks(std::string_view text) {
    while (!text.empty() && IsLabelBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsLabelBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string_view CanonicalCharset(std::string_view label) {
    const std::string_view trimmed = TrimLabelBlanks(label);
    for (const CharsetLabel& known : kLabels) {
        if (AsciiEqualsIgnoringCase(trimmed, known.label)) return known.name;
    }
    return {};
}

}  // namespace kiosk
