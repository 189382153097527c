#pragma once

#include <string_view>

namespace kiosk {

// The canonical name of a character-set label as pages and headers write it ("utf8", "cp1251",
// "koi8_r", "latin1", ...), after the WHATWG encoding labels: case-insensitive, blanks around it
// ignored. The names are the ones iconv knows: "UTF-8", "windows-1251", "KOI8-R", "KOI8-U",
// "ISO-8859-5", "IBM866", "windows-1252" (which "iso-8859-1", "latin1" and "us-ascii" mean, as in
// browsers), "UTF-16LE", "UTF-16BE". Empty for a label it does not know, so the caller falls back.
std::string_view CanonicalCharset(std::string_view label);

}  // namespace kiosk
