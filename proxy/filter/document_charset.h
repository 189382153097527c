#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// The character set of an answer's body, as the document filter decides it before the scripts run.
struct DocumentCharset {
    std::string name;    // a canonical name (text/charset_label.h)
    std::string source;  // "Content-Type", "byte-order mark", "meta" or "default"
};

// contentType: the Content-Type header's value (empty when there is none); body: the decoded body.
// In order: a byte-order mark (UTF-8, UTF-16LE, UTF-16BE), which browsers let win over the header; a
// charset parameter of contentType that names a known charset; for text/html a <meta charset> or <meta
// http-equiv="Content-Type"> within the first 1,024 bytes, found as HTML's prescan finds it (UTF-16 there
// means UTF-8); else windows-1251. A label nobody knows is passed over for the next rule.
DocumentCharset DecideCharset(std::string_view contentType, std::string_view body);

}  // namespace kiosk
