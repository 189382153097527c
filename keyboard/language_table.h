#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kiosk {

struct LanguageEntry {
    std::int32_t Identifier;  // Windows language identifier: primary language in the low 10 bits
    const char* Name;
};

// The known language identifiers with their English display names.
std::span<const LanguageEntry> LanguageTable();

// The display name of a language identifier; empty for one that is not in the table.
std::string LanguageName(std::int32_t identifier);

}  // namespace kiosk
