#include "text/bom_text.h"

#include "text/cp1251.h"
#include "text/unicode.h"

namespace kiosk {

std::string DecodeTextWithBom(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF")) return Utf16ToUtf8(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) return SanitizeUtf8(bytes.substr(3));
    return Cp1251ToUtf8(bytes);
}

}  // namespace kiosk
