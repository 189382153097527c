#include "mail/mail_message.h"

#include "mail/encoded_subject.h"
#include "mail/mail_address.h"
#include "mail/mail_date.h"
#include "text/russian_plural.h"
#include "text/text_lines.h"

namespace kiosk {

namespace {

void AddHeader(std::string& headers, std::string_view name, std::string_view value) {
    if (value.empty()) return;
    headers.append(name).append(": ").append(value).append("\r\n");
}

std::string RecipientList(std::string_view recipients) {
    std::string list;
    for (const std::string& entry : SplitAddressList(recipients)) {
        if (!list.empty()) list += ", ";
        list += entry;
    }
    return list;
}

}  // namespace

std::string MessageHeaders(const MailSettings& settings, DateTime now, int utcOffsetMinutes) {
    std::string headers;
    AddHeader(headers, "From", settings.from);
    AddHeader(headers, "Subject", EncodeSubject(settings.subject));
    AddHeader(headers, "To", RecipientList(settings.recipients));
    AddHeader(headers, "Content-Type", "text/plain;\r\n\tcharset=\"windows-1251\"");
    AddHeader(headers, "MIME-Version", "1.0");
    AddHeader(headers, "Content-Transfer-Encoding", "8bit");
    AddHeader(headers, "Date", MailDate(now, utcOffsetMinutes));
    AddHeader(headers, "X-Mailer", settings.agent);
    return headers;
}

std::string DataSection(std::string_view headers, std::string_view body) {
    std::string data(headers);
    data += "\r\n";
    for (const std::string& line : SplitTextLines(body)) {
        if (line.starts_with('.')) data += '.';
        data += line;
        data += "\r\n";
    }
    data += ".\r\n";
    return data;
}

std::string DigestBody(const std::vector<std::string>& texts, size_t more) {
    std::string body;
    for (const std::string& text : texts) body.append(text).append("\r\n");
    if (more > 0) {
        body += "… и ещё " + CountInRussian(static_cast<long long>(more), "запись", "записи", "записей") +
                " (в следующем письме)\r\n";
    }
    return body;
}

}  // namespace kiosk
