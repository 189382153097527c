#include "mail/mail_settings.h"

#include <gtest/gtest.h>

#include "config/key_value_table.h"

namespace kiosk {
namespace {

TEST(MailSettings, RecipientsComeFromTheErrorsSectionTheRestFromMail) {
    KeyValueTable mail;
    for (const char* row : {"host=smtp.example.org", "login=k", "password=p", "from=kiosk@example.org",
                            "subject=Ошибка", "agent=", "tls=required", "notification=wrong@example.org"})
        mail.AddRow(row);
    KeyValueTable errors;
    errors.AddRow("notification=ops@example.org");
    const MailSettings settings = ReadMailSettings(mail, errors, "/etc/kiosk/ca.pem");
    EXPECT_EQ(settings.recipients, "ops@example.org");
    EXPECT_EQ(settings.host, "smtp.example.org");
    EXPECT_EQ(settings.login, "k");
    EXPECT_EQ(settings.password, "p");
    EXPECT_EQ(settings.from, "kiosk@example.org");
    EXPECT_EQ(settings.subject, "Ошибка");
    EXPECT_TRUE(settings.agent.empty());
    EXPECT_EQ(settings.tls, "required");
    EXPECT_EQ(settings.caFile, "/etc/kiosk/ca.pem");
    EXPECT_TRUE(settings.Enabled());
}

TEST(MailSettings, MailingIsOffWithoutRecipientsServerOrSender) {
    MailSettings complete;
    complete.recipients = "a@x";
    complete.host = "h";
    complete.from = "f@x";
    EXPECT_TRUE(complete.Enabled());
    for (auto cleared : {&MailSettings::recipients, &MailSettings::host, &MailSettings::from}) {
        MailSettings settings = complete;
        settings.*cleared = "";
        EXPECT_FALSE(settings.Enabled());
    }
    MailSettings withoutLogin = complete;
    withoutLogin.subject = withoutLogin.login = "";
    EXPECT_TRUE(withoutLogin.Enabled());
}

}  // namespace
}  // namespace kiosk
