#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// The Subject header's value: the subject's windows-1251 bytes in base64, as RFC 2047 encoded words
// labelled "Windows-1251". A subject whose base64 form takes at most 76 characters is one word,
// however long the word gets. A longer one used to come out with line breaks inside its base64 text,
// which a header cannot carry; it is now split on whole characters into words of at most 75
// characters, each on a header line of its own, folded with CR LF and a blank.
std::string EncodeSubject(std::string_view utf8Subject);

}  // namespace kiosk
