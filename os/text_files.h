#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// Whole-file writing and reading for the rewriting scripts and the header dumps. name is the file's
// name as configured (it appears in the messages); a relative name is taken relative to directory
// (empty: the current directory).

// Writes bytes to the file, after its current end when append is set, otherwise as its whole new
// content; creates the file when it does not exist. Returns "Файл: " + name + " - Ошибка записи" when
// writing fails after the file was opened, empty on success. Throws std::runtime_error when the file
// can neither be opened nor created. Writes of several threads are serialised, so appended blocks and
// lines never interleave.
std::string WriteTextFile(const std::string& name, bool append, std::string_view bytes,
                          const std::string& directory = {});

// Replaces the file at path with bytes as one step (a temporary file "<path>.new" beside it, then a
// rename), so that a reader finds the old content or the new, never half of it. Returns
// "Невозможно записать файл " + path on failure (no temporary file is left), empty on success.
std::string ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Reads the whole file into content. Returns "Файл: " + name + " - Ошибка чтения" when reading fails
// after the file was opened (content then holds what was read), empty on success. Throws
// std::runtime_error when the file cannot be opened.
std::string ReadTextFile(const std::string& name, std::string& content, const std::string& directory = {});

}  // namespace kiosk
