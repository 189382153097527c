#include "app/metrics_file.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace kiosk {

std::string ReplaceFileAtomically(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return "Невозможно записать файл " + path;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (!error) return "";
    std::filesystem::remove(temporary, error);
    return "Невозможно записать файл " + path;
}

}  // namespace kiosk
