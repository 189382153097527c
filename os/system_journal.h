#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kiosk {

// One field of a journal entry: an upper-case name and its value (UTF-8, may hold line breaks).
using JournalField = std::pair<std::string, std::string>;

// The system's own log service, which takes entries as named fields (systemd's journal on Linux).
// Sending never fails: a system without one simply loses the entry.
class SystemJournal {
public:
    virtual ~SystemJournal() = default;
    virtual void Send(const std::vector<JournalField>& fields) = 0;
};

}  // namespace kiosk
