#pragma once

#include <string>

namespace kiosk {

// A fresh private folder (0700) under the system's temporary folder ($TMPDIR, else /tmp), removed with
// everything in it when the object goes. Throws std::runtime_error when it cannot be made.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::string& Path() const { return path_; }
    // path of name inside the folder
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace kiosk
