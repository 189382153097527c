#include "mail/notification_sender.h"

#include <exception>

#include "mail/mail_address.h"
#include "mail/mail_message.h"
#include "mail/smtp_dialogue.h"
#include "os/host_info.h"

namespace kiosk {

namespace {

constexpr const char* kUnknownFailure = "Неизвестная ошибка";

SmtpEnvelope MakeEnvelope(const MailSettings& settings, const MailTransport& transport,
                          const std::string& text) {
    const DateTime now = transport.clock.Now();
    const int offset = transport.utcOffsetMinutes ? transport.utcOffsetMinutes(now) : UtcOffsetMinutes(now);
    SmtpEnvelope envelope{
        .heloName = transport.heloName.empty() ? LocalHostName() : transport.heloName,
        .login = settings.login,
        .password = settings.password,
        .sender = MailboxOf(settings.from),
        .recipients = {},
        .data = DataSection(MessageHeaders(settings, now, offset), text),
        .tls = ParseMailTls(settings.tls),
        .caFile = settings.caFile,
    };
    for (const std::string& entry : SplitAddressList(settings.recipients)) {
        envelope.recipients.push_back(MailboxOf(entry));
    }
    return envelope;
}

std::string MessageOf(const std::exception& failure) {
    const std::string message = failure.what();
    return message.empty() ? kUnknownFailure : message;
}

}  // namespace

NotificationSender::NotificationSender(MailSettings settings, MailTransport transport)
    : settings_(std::move(settings)), transport_(std::move(transport)) {}

std::string NotificationSender::SendNotification(const std::string& text) {
    if (!settings_.Enabled()) return {};
    try {
        return Deliver(text);
    } catch (const std::exception& failure) {
        return MessageOf(failure);
    } catch (...) {
        return kUnknownFailure;
    }
}

std::string NotificationSender::Deliver(const std::string& text) {
    const SmtpEnvelope envelope = MakeEnvelope(settings_, transport_, text);
    SmtpConnection connection(transport_.replyTimeout, transport_.stop);
    std::string error;
    try {
        connection.Connect(settings_.host, transport_.port, transport_.connectTimeout);
        RunSmtpDialogue(connection, envelope);
    } catch (const std::exception& failure) {
        error = MessageOf(failure);
    }
    connection.Disconnect();
    return error;
}

}  // namespace kiosk
