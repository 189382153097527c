// The notification's message: its headers and its body.

#include "mail/mail_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/encoded_subject.h"
#include "mail/mail_date.h"

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

TEST(DigestBody, IsOneLineForEachTextAndCountsTheRest) {
    EXPECT_EQ(DigestBody({"a", "b"}, 0), "a\r\nb\r\n");
    EXPECT_EQ(DigestBody({"a"}, 1), "a\r\n… и ещё 1 запись (в следующем письме)\r\n");
    EXPECT_EQ(DigestBody({"a"}, 25), "a\r\n… и ещё 25 записей (в следующем письме)\r\n");
}

}  // namespace
}  // namespace kiosk
