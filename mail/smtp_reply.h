#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kiosk {

// One server reply (RFC 5321): its code and its lines as received, without their line ends.
struct SmtpReply {
    int code = 0;
    std::vector<std::string> lines;

    // The lines joined by CR LF: the server's own words, code included.
    std::string Text() const;
};

// The server answered with a reply the dialogue did not expect; the message is the reply's text.
class SmtpReplyError : public std::runtime_error {
public:
    explicit SmtpReplyError(const SmtpReply& reply);
    int Code() const { return code_; }

private:
    int code_;
};

// Reads one reply line: its code and whether more lines of the same reply follow ("250-...").
// Throws SmtpReplyError for a line that does not begin with a three-digit code.
struct SmtpReplyLine {
    int code = 0;
    bool more = false;
};
SmtpReplyLine ParseReplyLine(const std::string& line);

}  // namespace kiosk
