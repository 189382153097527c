#include "mail/mail_settings.h"

namespace kiosk {

MailSettings ReadMailSettings(const KeyValueTable& mail, const KeyValueTable& errors,
                              const std::string& caFile) {
    return MailSettings{
        .recipients = errors.Value("notification"),
        .host = mail.Value("host"),
        .login = mail.Value("login"),
        .password = mail.Value("password"),
        .from = mail.Value("from"),
        .subject = mail.Value("subject"),
        .agent = mail.Value("agent"),
        .tls = mail.Value("tls"),
        .caFile = caFile,
    };
}

}  // namespace kiosk
