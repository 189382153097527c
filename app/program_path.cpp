#include "app/program_path.h"

#include <filesystem>

namespace kiosk {

namespace {

constexpr char kDelimiter = '/';

}  // namespace

ProgramPath SplitProgramPath(const std::string& executablePath) {
    const size_t slash = executablePath.rfind(kDelimiter);
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    ProgramPath path;
    path.directory = executablePath.substr(0, nameStart);
    path.name = executablePath.substr(nameStart);
    // The name of a Windows executable loses its ".exe"; a Linux one usually has no extension.
    const size_t length = path.name.size();
    if (length >= 4 && path.name[length - 4] == '.') path.name.resize(length - 4);
    return path;
}

std::string RunningExecutablePath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

}  // namespace kiosk
