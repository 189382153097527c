#include "mail/smtp_reply.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(SmtpReply, LinesGiveTheirCodeAndWhetherMoreFollow) {
    const SmtpReplyLine first = ParseReplyLine("250-mail.example.org");
    EXPECT_EQ(first.code, 250);
    EXPECT_TRUE(first.more);
    const SmtpReplyLine last = ParseReplyLine("250 AUTH LOGIN");
    EXPECT_EQ(last.code, 250);
    EXPECT_FALSE(last.more);
    EXPECT_EQ(ParseReplyLine("354").code, 354);  // a code alone is a whole reply
}

TEST(SmtpReply, ALineWithoutAThreeDigitCodeIsAnErrorNamingIt) {
    for (const char* line : {"", "25", "2x0 ok", "250x", "ok 250"}) {
        try {
            ParseReplyLine(line);
            ADD_FAILURE() << line;
        } catch (const SmtpReplyError& error) {
            EXPECT_EQ(std::string(error.what()), std::string("Invalid reply: ") + line);
            EXPECT_EQ(error.Code(), 0);
        }
    }
}

TEST(SmtpReply, TheTextIsTheServersLinesJoinedByCrLf) {
    const SmtpReply reply{550, {"550-No such user", "550 Try again"}};
    EXPECT_EQ(reply.Text(), "550-No such user\r\n550 Try again");
    const SmtpReplyError error(reply);
    EXPECT_EQ(std::string(error.what()), reply.Text());
    EXPECT_EQ(error.Code(), 550);
}

}  // namespace
}  // namespace kiosk
