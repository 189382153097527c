#include "mail/smtp_reply.h"

namespace kiosk {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string SmtpReply::Text() const {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

SmtpReplyError::SmtpReplyError(const SmtpReply& reply)
    : std::runtime_error(reply.Text()), code_(reply.code) {}

SmtpReplyLine ParseReplyLine(const std::string& line) {
    const bool coded = line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]);
    if (!coded || (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
        throw SmtpReplyError(SmtpReply{0, {"Invalid reply: " + line}});
    }
    return {std::stoi(line.substr(0, 3)), line.size() > 3 && line[3] == '-'};
}

}  // namespace kiosk
