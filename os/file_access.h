#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kiosk {

// File operations whose sharing rules differ between platforms. The portable code includes only this
// header; each platform folder implements it (advisory locks on Linux).

enum class FileReadStatus {
    Ok,
    CannotOpen,  // missing, not a regular file, or held by a writer
    ReadFailed,  // opened, but reading failed part-way
};

// Locks held by others are waited for about 2 s before the file counts as held.

// Reads the whole regular file at path while other writers are shut out.
FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes);

// The same, when it does not matter why the file could not be read.
bool ReadFileExcludingWriters(const std::string& path, std::string& bytes);

// A file opened for writing that no other writer may hold at the same time. Move-only; closes on
// destruction.
class ExclusiveFile {
public:
    enum class Mode {
        OpenExisting,  // open a file that exists, keep its content
        CreateEmpty,   // create the file, or empty an existing one
    };

    // Opens path; throws std::runtime_error with a readable message when it cannot be opened or
    // created, or another writer holds it.
    ExclusiveFile(const std::string& path, Mode mode);
    ExclusiveFile(ExclusiveFile&& other) noexcept;
    ExclusiveFile& operator=(ExclusiveFile&& other) noexcept;
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;
    ~ExclusiveFile();

    // Writes bytes at the end of the file. Returns false when not every byte could be written.
    bool Append(std::string_view bytes) noexcept;

private:
    std::intptr_t handle_ = -1;
};

}  // namespace kiosk
