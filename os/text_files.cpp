#include "os/text_files.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>

#include "os/file_access.h"
#include "util/paths.h"

namespace kiosk {

namespace {

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace

std::string WriteTextFile(const std::string& name, bool append, std::string_view bytes,
                          const std::string& directory) {
    const std::string path = ResolvePath(directory, name);
    std::lock_guard lock(WriteMutex());
    const auto mode =
        append && Exists(path) ? ExclusiveFile::Mode::OpenExisting : ExclusiveFile::Mode::CreateEmpty;
    ExclusiveFile file(path, mode);
    return file.Append(bytes) ? std::string() : "Файл: " + name + " - Ошибка записи";
}

std::string ReadTextFile(const std::string& name, std::string& content, const std::string& directory) {
    const std::string path = ResolvePath(directory, name);
    switch (ReadWholeFile(path, content)) {
        case FileReadStatus::Ok:
            return {};
        case FileReadStatus::ReadFailed:
            return "Файл: " + name + " - Ошибка чтения";
        case FileReadStatus::CannotOpen:
            break;
    }
    throw std::runtime_error("Невозможно открыть файл " + name);
}

std::string ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".new";
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        written = out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush();
    }
    std::error_code error;
    if (written) std::filesystem::rename(temporary, path, error);
    if (written && !error) return "";
    std::filesystem::remove(temporary, error);
    return "Невозможно записать файл " + path;
}

}  // namespace kiosk
