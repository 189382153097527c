#include "os/scratch_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace kiosk {

namespace {

std::string TemporaryRoot() {
    const char* root = std::getenv("TMPDIR");
    return root != nullptr && *root != '\0' ? root : "/tmp";
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern = TemporaryRoot() + "/kiosk-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("Не удалось создать временную папку в " + TemporaryRoot() + ": " +
                                 std::strerror(errno));
    }
    path_ = name.data();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace kiosk
