#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/date_time.h"
#include "util/log_writer.h"

namespace kiosk {

// The bursts of repeating error entries the event log merges. A burst is opened by an error entry
// that is written; a later one of the same kind within 60 s of the burst's previous one is counted
// instead of written, and once 60 s pass without another, a count line tells how many were counted.
// Entries are of one kind when they name the same host (PageOfEntry) and read the same with the page
// taken out; entries that name no page only when their texts are equal. Information entries form no
// bursts: each page load is written, as the record of what was shown. Not thread-safe: the event log
// holds its lock around every call.
class EntryBursts {
public:
    static constexpr long long kQuietMilliseconds = 60'000;
    // Beyond this many open bursts, the one quiet the longest is closed early.
    static constexpr size_t kMostBursts = 64;

    // Whether text is an error entry that repeats an open burst within 60 s of its previous entry:
    // then it is counted.
    bool CountRepeat(LogLevel level, std::string_view text, DateTime now);
    // Opens a burst with an error entry that was written; information entries are ignored.
    void Open(LogLevel level, std::string_view text, DateTime now);
    // The count lines (UTF-8, error entries) of the bursts quiet for 60 s at now or closed early,
    // oldest burst first: how often the first entry repeated and over how long. Those bursts are
    // forgotten; bursts without repeats end without a line.
    std::vector<std::string> TakeEnded(DateTime now);
    // Ends every burst now.
    std::vector<std::string> TakeAll();
    // How long from now until the first burst with repeats ends (0 or less: it has ended), if there
    // is one.
    std::optional<long long> MillisecondsToNextEnd(DateTime now) const;

private:
    struct Burst {
        std::string kind;
        std::string name;  // the first entry, with its page shortened to the host
        DateTime first;
        DateTime last;
        long long repeats = 0;
    };

    void End(size_t index);

    std::vector<Burst> bursts_;
    std::vector<std::string> ended_;
};

// Milliseconds from one time to another, rounded.
long long MillisecondsBetween(DateTime from, DateTime to);

}  // namespace kiosk
