#include "util/paths.h"

namespace kiosk {

std::string ResolvePath(const std::string& directory, const std::string& name) {
    constexpr char kDelimiter = '/';
    if (directory.empty() || name.starts_with(kDelimiter)) return name;
    return directory.ends_with(kDelimiter) ? directory + name : directory + kDelimiter + name;
}

}  // namespace kiosk
