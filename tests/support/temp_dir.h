#pragma once

#include <filesystem>
#include <string>

namespace kiosk::testing {

// A fresh directory under the system's temporary directory, removed with everything in it when the
// object goes.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for tests.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace kiosk::testing
