#include "proxy/filter/document_types.h"

#include <array>

#include "text/ascii.h"

namespace kiosk {

namespace {

constexpr std::array<std::string_view, 4> kErrorPageTypes = {"text/html", "text/plain", "application/xml",
                                                             "application/x-javascript"};

constexpr std::array<std::string_view, 10> kTodaysTextTypes = {
    "text/javascript",         "application/javascript", "application/ecmascript",
    "application/json",        "application/ld+json",    "text/css",
    "application/xhtml+xml",   "image/svg+xml",          "text/xml",
    "application/x-ecmascript"};

bool IsOneOf(std::string_view type, const auto& types) {
    for (std::string_view known : types) {
        if (type == known) return true;
    }
    return false;
}

}  // namespace

std::string MediaType(const HeaderList& headers) {
    const std::string value = headers.Value("Content-Type");
    const std::string_view type = std::string_view(value).substr(0, value.find(';'));
    return AsciiLower(std::string(TrimBlanks(type)));
}

bool IsScriptableType(std::string_view mediaType) {
    return IsOneOf(mediaType, kErrorPageTypes) || IsOneOf(mediaType, kTodaysTextTypes) ||
           mediaType.ends_with("+xml") || mediaType.ends_with("+json");
}

bool IsErrorPageType(std::string_view mediaType) {
    return IsOneOf(mediaType, kErrorPageTypes);
}

}  // namespace kiosk
