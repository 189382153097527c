#pragma once

#include <string>

namespace kiosk {

struct ProgramPath {
    std::string name;       // the file name less its last 4 characters when they are "." and three more
    std::string directory;  // ending with the path delimiter
};

ProgramPath SplitProgramPath(const std::string& executablePath);

// The running program's own file, links resolved (/proc/self/exe); empty when it cannot be read.
std::string RunningExecutablePath();

}  // namespace kiosk
