#pragma once

#include <string_view>

namespace kiosk {

// The charset a <meta> element near the start of an HTML page declares, as HTML's "prescan a byte
// stream to determine its encoding" finds it: only the first 1,024 bytes are looked at; comments and
// the attributes of other tags are passed over; <meta charset=...> or <meta http-equiv=content-type
// content="...; charset=..."> in any case and order, with quotes or none; a label that is not known
// is passed over; UTF-16 means UTF-8. Returns a canonical name (text/charset_label.h), or empty.
std::string_view PrescanMetaCharset(std::string_view html);

// The charset named by a "charset=" in a meta element's content attribute (HTML's "extracting a
// character encoding from a meta element"), as its raw label; empty when there is none.
std::string_view CharsetInMetaContent(std::string_view content);

}  // namespace kiosk
