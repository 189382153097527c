#include "mail/mail_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiosk {
namespace {

using Strings = std::vector<std::string>;

TEST(MailAddress, ListsSplitAtCommasOutsideQuotesAndMailboxesComeFromAngleBrackets) {
    EXPECT_EQ(SplitAddressList(" a@x ,, \"Doe, John\" <jd@x>,b@x "),
              (Strings{"a@x", "\"Doe, John\" <jd@x>", "b@x"}));
    EXPECT_EQ(MailboxOf("\"Doe, John\" <jd@x>"), "jd@x");
    EXPECT_EQ(MailboxOf(" plain@x "), "plain@x");
}

}  // namespace
}  // namespace kiosk
