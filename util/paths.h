#pragma once

#include <string>

namespace kiosk {

// name relative to directory (empty directory: the current directory); absolute names stay as written.
std::string ResolvePath(const std::string& directory, const std::string& name);

}  // namespace kiosk
