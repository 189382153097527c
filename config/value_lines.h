#pragma once

#include <map>
#include <string>
#include <vector>

#include "config/key_value_table.h"

namespace kiosk {

// Where a configuration's text sets what the loader stored, following the loader's reading rules.
struct ValueLines {
    std::map<std::string, int> values;  // "section/key" (lower case) -> line of its last value
    std::vector<int> scriptHeaders;     // line of each [document] header, in file order
    std::vector<int> scriptUrls;        // line of each script's last url parameter; 0 when none
};

// lines: the file's lines as the loader reads them (decoded, comments included).
ValueLines FindValueLines(const std::vector<std::string>& lines, const KeyValueTable& operators);

// The file's lines as the loader reads them; false when it cannot be read.
bool ReadConfigurationLines(const std::string& path, std::vector<std::string>& lines);

// Whether the line (its comment removed) is a section header, as the loader decides.
bool IsSectionHeader(const std::string& line);

}  // namespace kiosk
