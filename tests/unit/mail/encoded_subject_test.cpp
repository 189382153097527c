#include "mail/encoded_subject.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp1251.h"
#include "util/base64.h"

namespace kiosk {
namespace {

TEST(EncodedSubject, AShortSubjectIsOneEncodedWordOfItsWindows1251Bytes) {
    EXPECT_EQ(EncodeSubject("Ошибка"), "=?Windows-1251?B?" + Base64Encode("\xCE\xF8\xE8\xE1\xEA\xE0") + "?=");
    EXPECT_EQ(EncodeSubject(""),
              "=?Windows-1251?B?"
              "?=");
    // 57 bytes give 76 base64 characters: still a single word, although it is longer than 75.
    const std::string longest(57, 'x');
    EXPECT_EQ(EncodeSubject(longest), "=?Windows-1251?B?" + Base64Encode(longest) + "?=");
}

TEST(EncodedSubject, ALongSubjectBecomesFoldedWordsOfAtMost75CharactersOnWholeCharacters) {
    std::string subject;
    for (int i = 0; i < 10; ++i) subject += "Терминал №" + std::to_string(i) + " ";
    const std::string header = EncodeSubject(subject);
    std::string decoded;
    size_t start = 0;
    for (;;) {
        const size_t end = header.find("\r\n ", start);
        const std::string word = header.substr(start, end == std::string::npos ? end : end - start);
        EXPECT_LE(word.size(), 75u) << word;
        EXPECT_TRUE(word.starts_with("=?Windows-1251?B?") && word.ends_with("?=")) << word;
        const std::string base64 = word.substr(17, word.size() - 19);
        EXPECT_EQ(base64.find('\n'), std::string::npos);
        // Every word decodes on its own: its base64 holds whole groups, no padding but maybe the last.
        decoded += base64;
        if (end == std::string::npos) break;
        EXPECT_EQ(base64.find('='), std::string::npos);
        start = end + 3;
    }
    EXPECT_GT(header.find("\r\n "), 0u);
    // The words together carry exactly the subject's bytes (each is a whole number of characters).
    std::string bytes;
    for (size_t i = 0; i < Utf8ToCp1251(subject).size(); i += 42) {
        bytes += Base64Encode(Utf8ToCp1251(subject).substr(i, 42));
    }
    EXPECT_EQ(decoded, bytes);
}

}  // namespace
}  // namespace kiosk
