#include "platform/linux/systemd_journal.h"

#include <cstdint>
#include <string_view>

namespace kiosk {

namespace {

// value cut to at most limit bytes, not inside a UTF-8 character.
std::string_view CutAtCharacter(std::string_view value, size_t limit) {
    if (value.size() <= limit) return value;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    return value.substr(0, end);
}

void AppendLength(std::string& out, std::uint64_t length) {
    for (int i = 0; i < 8; ++i) out += static_cast<char>((length >> (8 * i)) & 0xFF);
}

}  // namespace

std::string EncodeJournalFields(const std::vector<JournalField>& fields) {
    std::string out;
    for (const auto& [name, fullValue] : fields) {
        const std::string_view value = CutAtCharacter(fullValue, kLongestJournalValue);
        out += name;
        if (value.find('\n') == std::string_view::npos) {
            out.append("=").append(value).append("\n");
            continue;
        }
        out += '\n';
        AppendLength(out, value.size());
        out.append(value).append("\n");
    }
    return out;
}

}  // namespace kiosk
