#pragma once

#include <string>
#include <string_view>

#include "proxy/http/header_list.h"

namespace kiosk {

// The media type of an answer: its Content-Type value up to the first ";", trimmed and in lower case
// ("Content-Type:Text/HTML; charset=utf-8" gives "text/html"); empty when there is none.
std::string MediaType(const HeaderList& headers);

// Whether a successful answer of this type is a text document the scripts may rewrite: HTML, plain
// text, style sheets, scripts, JSON and XML of every kind.
bool IsScriptableType(std::string_view mediaType);

// Whether an error answer of this type is a page the "document" error page may replace. Pictures,
// style sheets and scripts that are missing stay missing: an HTML page in their place helps nobody.
bool IsErrorPageType(std::string_view mediaType);

}  // namespace kiosk
