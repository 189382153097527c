// The notification's message: its headers, the encoded subject, the Date header and the body.

#include <gtest/gtest.h>

#include "mail/encoded_subject.h"
#include "mail/mail_address.h"
#include "mail/mail_date.h"
#include "mail/mail_message.h"
#include "text/cp1251.h"
#include "util/base64.h"

namespace kiosk {
namespace {

using Strings = std::vector<std::string>;

MailSettings Settings() {
    MailSettings settings;
    settings.recipients = "ops@example.org, Дежурный <duty@example.org>";
    settings.host = "mail.example.org";
    settings.from = "Киоск <kiosk@example.org>";
    settings.subject = "Ошибка";
    settings.agent = "Kiosk Shell";
    return settings;
}

TEST(MailDate, IsEnglishWithoutLeadingZeroInTheDayAndWithASignedOffset) {
    EXPECT_EQ(MailDate(EncodeDateTime({2026, 12, 8, 14, 5, 9, 0}), 180), "Tue, 8 Dec 2026 14:05:09 +0300");
    EXPECT_EQ(MailDate(EncodeDateTime({2027, 1, 31, 0, 0, 0, 999}), 0), "Sun, 31 Jan 2027 00:00:00 +0000");
    EXPECT_EQ(MailDate(EncodeDateTime({2026, 7, 4, 23, 59, 59, 0}), -(4 * 60 + 30)),
              "Sat, 4 Jul 2026 23:59:59 -0430");
}

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

TEST(MessageHeaders, AreWrittenInTheirOrderWithTheFoldedContentType) {
    const std::string headers = MessageHeaders(Settings(), EncodeDateTime({2026, 12, 8, 14, 5, 9, 0}), 180);
    EXPECT_EQ(headers,
              "From: Киоск <kiosk@example.org>\r\n"
              "Subject: " +
                  EncodeSubject("Ошибка") +
                  "\r\n"
                  "To: ops@example.org, Дежурный <duty@example.org>\r\n"
                  "Content-Type: text/plain;\r\n"
                  "\tcharset=\"windows-1251\"\r\n"
                  "MIME-Version: 1.0\r\n"
                  "Content-Transfer-Encoding: 8bit\r\n"
                  "Date: Tue, 8 Dec 2026 14:05:09 +0300\r\n"
                  "X-Mailer: Kiosk Shell\r\n");
}

TEST(MessageHeaders, HeadersWithoutAValueAreLeftOut) {
    MailSettings settings = Settings();
    settings.agent.clear();
    settings.recipients = " , ";
    settings.subject.clear();
    const std::string headers = MessageHeaders(settings, EncodeDateTime({2026, 12, 8, 14, 5, 9, 0}), 0);
    EXPECT_EQ(headers.find("X-Mailer"), std::string::npos);
    EXPECT_EQ(headers.find("To:"), std::string::npos);
    // An empty subject still has its encoded-word frame.
    EXPECT_NE(headers.find("Subject: =?Windows-1251?B?"
                           "?=\r\n"),
              std::string::npos);
}

TEST(DataSection, StuffsDotsAndEndsEveryLineWithCrLf) {
    EXPECT_EQ(DataSection("H: v\r\n", "first\r\n.second\nthird\r..\r\n.\r\nlast"),
              "H: v\r\n\r\nfirst\r\n..second\r\nthird\r\n...\r\n..\r\nlast\r\n.\r\n");
    EXPECT_EQ(DataSection("H: v\r\n", ""), "H: v\r\n\r\n.\r\n");
}

TEST(MailAddress, ListsSplitAtCommasOutsideQuotesAndMailboxesComeFromAngleBrackets) {
    EXPECT_EQ(SplitAddressList(" a@x ,, \"Doe, John\" <jd@x>,b@x "),
              (Strings{"a@x", "\"Doe, John\" <jd@x>", "b@x"}));
    EXPECT_EQ(MailboxOf("\"Doe, John\" <jd@x>"), "jd@x");
    EXPECT_EQ(MailboxOf(" plain@x "), "plain@x");
}

}  // namespace
}  // namespace kiosk
