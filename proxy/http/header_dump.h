#pragma once

#include <string>
#include <string_view>

#include "config/key_value_table.h"
#include "util/log_writer.h"

namespace kiosk {

// Appends a line "[title]" and the head (lines ended by CR LF, then an empty line) to the dump file
// the "headers" option names, relative to directory, in windows-1251; nothing when the option is
// empty. The values of the headers that carry a visitor's secrets are masked (MaskSecretHeaders).
// A write that fails after the file opened is logged as an error; a file that can be neither opened
// nor created throws std::runtime_error.
void DumpHead(const KeyValueTable& options, LogWriter& log, const std::string& directory,
              std::string_view title, std::string_view head);

// The head with the value of every Cookie, Set-Cookie, Authorization and Proxy-Authorization line
// (names in any case, continuation lines included) replaced by "<N bytes hidden>", N being the
// value's length in bytes without its surrounding blanks. Every other byte stays as it is.
std::string MaskSecretHeaders(std::string_view head);

}  // namespace kiosk
