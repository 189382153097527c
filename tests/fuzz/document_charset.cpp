// Feeds arbitrary Content-Type values and page starts to DecideCharset. Besides the sanitizers'
// checks: the decision is always a charset the conversions know, and the prescan looks at no byte
// past the first 1,024.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "proxy/filter/document_charset.h"
#include "proxy/filter/html_prescan.h"
#include "text/charset_conversion.h"
#include "text/charset_label.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line is the header's value, the rest the body.
    const std::size_t newline = input.find('\n');
    const std::string_view contentType = input.substr(0, newline);
    const std::string_view body =
        newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);
    const kiosk::DocumentCharset decided = kiosk::DecideCharset(contentType, body);
    Check(kiosk::CanonicalCharset(decided.name) == decided.name);
    Check(kiosk::PrescanMetaCharset(body) == kiosk::PrescanMetaCharset(body.substr(0, 1024)));
    kiosk::DecodeToUtf8(body.substr(0, 64), decided.name);
    return 0;
}
