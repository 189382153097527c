#pragma once

#include <string>
#include <vector>

#include "os/system_journal.h"
#include "platform/linux/unix_datagram.h"

namespace kiosk {

// Where systemd's journal takes entries in its native form.
inline constexpr const char* kJournalSocket = "/run/systemd/journal/socket";

// The fields in the journal's native datagram form: "NAME=value\n", or for a value with a line
// break "NAME\n", its length as 64-bit little-endian, the value and "\n". A value longer than
// kLongestJournalValue is cut there (at a whole UTF-8 character), so that one datagram carries it.
inline constexpr size_t kLongestJournalValue = 48 * 1024;
std::string EncodeJournalFields(const std::vector<JournalField>& fields);

// systemd's journal, reached through its socket; without a journal entries are dropped.
class SystemdJournal : public SystemJournal {
public:
    explicit SystemdJournal(const std::string& socketPath = kJournalSocket) : socket_(socketPath) {}
    void Send(const std::vector<JournalField>& fields) override { socket_.Send(EncodeJournalFields(fields)); }

private:
    UnixDatagram socket_;
};

}  // namespace kiosk
