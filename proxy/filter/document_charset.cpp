#include "proxy/filter/document_charset.h"

#include <algorithm>

#include "proxy/filter/html_prescan.h"
#include "text/ascii.h"
#include "text/charset_label.h"

namespace kiosk {

namespace {

// One parameter value at the start of text: a quoted string (backslash escapes a character) or a
// token up to the next ";". text is left after it.
std::string ParameterValue(std::string_view& text) {
    std::string value;
    if (text.starts_with('"')) {
        std::size_t pos = 1;
        for (; pos < text.size() && text[pos] != '"'; ++pos) {
            if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
            value += text[pos];
        }
        text.remove_prefix(std::min(pos + 1, text.size()));
        return value;
    }
    const std::size_t end = std::min(text.find(';'), text.size());
    value = TrimBlanks(text.substr(0, end));
    text.remove_prefix(end);
    return value;
}

// The first charset parameter of a Content-Type value that names a known charset.
std::string_view HeaderCharset(std::string_view contentType) {
    std::string_view rest = contentType;
    for (std::size_t semicolon = rest.find(';'); semicolon != std::string_view::npos;
         semicolon = rest.find(';')) {
        rest.remove_prefix(semicolon + 1);
        const std::size_t nameEnd = rest.find_first_of("=;");
        if (nameEnd == std::string_view::npos || rest[nameEnd] == ';') continue;
        const std::string_view name = TrimBlanks(rest.substr(0, nameEnd));
        rest = TrimBlanks(rest.substr(nameEnd + 1));
        const std::string value = ParameterValue(rest);
        if (!AsciiEqualsIgnoringCase(name, "charset")) continue;
        if (const std::string_view known = CanonicalCharset(value); !known.empty()) return known;
    }
    return {};
}

std::string_view ByteOrderMarkCharset(std::string_view body) {
    if (body.starts_with("\xEF\xBB\xBF")) return "UTF-8";
    if (body.starts_with("\xFF\xFE")) return "UTF-16LE";
    if (body.starts_with("\xFE\xFF")) return "UTF-16BE";
    return {};
}

bool IsHtml(std::string_view contentType) {
    const std::string_view type = TrimBlanks(contentType.substr(0, contentType.find(';')));
    return AsciiEqualsIgnoringCase(type, "text/html");
}

}  // namespace

DocumentCharset DecideCharset(std::string_view contentType, std::string_view body) {
    // A byte-order mark wins over the header, as browsers decide: the scripts' texts must be in the
    // charset the browser reads the page in.
    if (const std::string_view name = ByteOrderMarkCharset(body); !name.empty()) {
        return {std::string(name), "byte-order mark"};
    }
    if (const std::string_view name = HeaderCharset(contentType); !name.empty()) {
        return {std::string(name), "Content-Type"};
    }
    if (IsHtml(contentType)) {
        if (const std::string_view name = PrescanMetaCharset(body); !name.empty()) {
            return {std::string(name), "meta"};
        }
    }
    return {"windows-1251", "default"};
}

}  // namespace kiosk
