#include "mail/encoded_subject.h"

#include "text/cp1251.h"
#include "util/base64.h"

namespace kiosk {

namespace {

constexpr std::string_view kWordStart = "=?Windows-1251?B?";
constexpr std::string_view kWordEnd = "?=";
constexpr size_t kLongestSingleBase64 = 76;
constexpr size_t kLongestWord = 75;
// Base64 takes 4 characters for every 3 bytes; windows-1251 has one byte per character.
constexpr size_t kBytesPerWord = (kLongestWord - kWordStart.size() - kWordEnd.size()) / 4 * 3;
constexpr std::string_view kFold = "\r\n ";

std::string EncodedWord(std::string_view bytes) {
    return std::string(kWordStart) + Base64Encode(bytes) + std::string(kWordEnd);
}

}  // namespace

std::string EncodeSubject(std::string_view utf8Subject) {
    const std::string bytes = Utf8ToCp1251(utf8Subject);
    if (Base64Encode(bytes).size() <= kLongestSingleBase64) return EncodedWord(bytes);
    std::string header;
    for (size_t start = 0; start < bytes.size(); start += kBytesPerWord) {
        if (!header.empty()) header += kFold;
        header += EncodedWord(std::string_view(bytes).substr(start, kBytesPerWord));
    }
    return header;
}

}  // namespace kiosk
