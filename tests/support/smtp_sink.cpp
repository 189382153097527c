#include "tests/support/smtp_sink.h"

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "tests/support/wait_until.h"

namespace kiosk::testing {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

}  // namespace

SmtpSink::SmtpSink(std::vector<std::string> options) {
    std::vector<std::string> arguments{KIOSK_SOURCE_DIR "/tests/support/smtp_sink.py", dir_.str()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    process_ = std::make_unique<ChildProcess>("/usr/bin/python3", arguments, dir_.str(),
                                              (output_ / "sink.txt").string());
    if (!WaitUntil([&] { return fs::exists(dir_ / "port"); }, 20s)) {
        throw std::runtime_error("the SMTP server did not start: " + ReadFile(output_ / "sink.txt"));
    }
    port_ = std::stoi(ReadFile(dir_ / "port"));
}

SmtpSink::~SmtpSink() {
    process_->Signal(SIGTERM);
    process_->WaitForExit(5s);
}

std::vector<ReceivedMail> SmtpSink::Mails() const {
    std::vector<ReceivedMail> mails;
    for (int n = 1; fs::exists(dir_ / (std::to_string(n) + ".envelope")); ++n) {
        ReceivedMail mail;
        std::string envelope = ReadFile(dir_ / (std::to_string(n) + ".envelope"));
        for (size_t end; (end = envelope.find('\n')) != std::string::npos; envelope.erase(0, end + 1)) {
            mail.envelope.push_back(envelope.substr(0, end));
        }
        mail.content = ReadFile(dir_ / (std::to_string(n) + ".eml"));
        mails.push_back(std::move(mail));
    }
    return mails;
}

std::vector<ReceivedMail> SmtpSink::WaitForMails(size_t count, const std::function<void()>& meanwhile) const {
    WaitUntil(
        [&] {
            if (meanwhile) meanwhile();
            return Mails().size() >= count;
        },
        20s);
    return Mails();
}

}  // namespace kiosk::testing
