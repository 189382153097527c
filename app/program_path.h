#pragma once

#include <string>

namespace kiosk {

struct ProgramPath {
    std::string name;       // the file name less its last 4 characters when they are "." and three more
    std::string directory;  // ending with the path delimiter
};

ProgramPath SplitProgramPath(const std::string& executablePath);

// name relative to directory (empty directory: the current directory); absolute names stay as written.
std::string ResolvePath(const std::string& directory, const std::string& name);

}  // namespace kiosk
