#pragma once

#include <string>

namespace kiosk {

// Replaces the file at path with text as one step (a temporary file beside it, then a rename), so
// that a reader never sees half a file. Returns the failure's message, empty on success.
std::string ReplaceFileAtomically(const std::string& path, const std::string& text);

}  // namespace kiosk
