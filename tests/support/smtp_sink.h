#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {

struct ReceivedMail {
    std::vector<std::string> envelope;  // "from a", "to b", "login u", "tls"
    std::string content;                // the raw bytes as the server received them, dots unstuffed
};

// aiosmtpd on a loopback port (tests/support/smtp_sink.py with options), keeping every message as
// files.
class SmtpSink {
public:
    explicit SmtpSink(std::vector<std::string> options);
    ~SmtpSink();
    int Port() const { return port_; }

    // The messages received so far, in order.
    std::vector<ReceivedMail> Mails() const;
    // Waits up to 20 s until count messages have come, calling meanwhile at every poll.
    std::vector<ReceivedMail> WaitForMails(size_t count, const std::function<void()>& meanwhile = {}) const;

private:
    TempDir dir_;
    TempDir output_;
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

}  // namespace kiosk::testing
