#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

#include "config/key_value_table.h"
#include "log/entry_bursts.h"
#include "log/notification_sink.h"
#include "os/file_access.h"
#include "os/system_journal.h"
#include "util/clock.h"
#include "util/log_writer.h"

namespace kiosk {

// The one event-log writer. Information entries go to the daily file dd.mm.yyyy.log, error entries to
// dd.mm.yyyy.err, both in windows-1251 in the log directory; error entries are also handed to the
// notification sink. Every entry written also goes to the system journal, when there is one. An entry
// is written as CleanEntryText makes it: one line, with no user information in its URLs. Error entries
// that repeat are merged (EntryBursts): the first of a burst is written whole at once, the repeats
// within 60 s of each other are counted, and the burst's count line is written once it has been quiet
// for 60 s, by a timer thread of the log's own that sleeps while no burst has repeats. Safe to call
// from several threads at once: each call runs whole under one lock, so the merging, the write and the
// hand-off of two calls never interleave.
class EventLog : public LogWriter {
public:
    // directory: where the daily files live; empty means the process's current directory.
    EventLog(const Clock& clock, NotificationSink& notifications, std::string directory = {},
             SystemJournal* journal = nullptr);

    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // The option table whose "log" row switches the writer off (empty), keeps every file ("0") or
    // gives the days to keep. Without a table the writer is off. The open bursts end first, their
    // count lines written under the table they were counted under (shutdown detaches the table).
    void AttachOptions(const KeyValueTable* options);

    // Writes one entry; message is UTF-8. An empty message writes nothing; nor does one that repeats the
    // last entry written, or an open burst (it is counted). A failure to open or create the daily file
    // is thrown to the caller (std::runtime_error).
    void WriteLog(LogLevel level, std::string_view message) override;

    // Forgets the last message, so that the next one is written even when it repeats it; the open
    // bursts end now, with their count lines.
    void ResetLastLogText();

    // Writes the count lines of the bursts quiet for 60 s by the clock. The log's thread calls it;
    // a failure to write them is dropped.
    void EndQuietBursts();

    // How many error lines were written (repeats dropped, count lines included) since the log was made.
    long long ErrorEntries() const { return errorEntries_; }

private:
    // Today's file of the level's kind, opened when it exists; otherwise that kind's old files are
    // pruned and the file is created. Throws std::runtime_error when it cannot be opened or created.
    ExclusiveFile OpenDailyFile(LogLevel level, const std::string& keepOption, DateTime now) const;
    std::string PathOf(const std::string& name) const;
    // Journal, daily file and, for errors, the notification sink. Throws as OpenDailyFile.
    void WriteLine(LogLevel level, const std::string& utf8, const std::string& cp1251,
                   const std::string& keepOption, DateTime now);
    // Writes count lines, dropping the failures to write them. Called under the lock.
    void WriteCountLines(const std::vector<std::string>& lines, DateTime now);
    void EndBurstsWhenQuiet(std::stop_token stop);

    const Clock& clock_;
    NotificationSink& notifications_;
    const std::string directory_;
    SystemJournal* const journal_;
    std::mutex mutex_;
    const KeyValueTable* options_ = nullptr;
    std::string lastLogText_;  // windows-1251, as written
    std::atomic<long long> errorEntries_{0};
    EntryBursts bursts_;
    std::condition_variable_any burstCounted_;
    std::jthread burstTimer_;  // last: it starts once everything it uses exists
};

}  // namespace kiosk
