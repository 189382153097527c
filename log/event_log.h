#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "config/key_value_table.h"
#include "log/notification_sink.h"
#include "os/file_access.h"
#include "os/system_journal.h"
#include "util/clock.h"
#include "util/log_writer.h"

namespace kiosk {

// The one event-log writer. Information entries go to the daily file dd.mm.yyyy.log, error entries to
// dd.mm.yyyy.err, both in windows-1251 in the log directory; error entries are also handed to the
// notification sink. Every entry written also goes to the system journal, when there is one. Safe to call
// from several threads at once: each call runs whole under one lock, so the duplicate check, the write and
// the hand-off of two calls never interleave.
class EventLog : public LogWriter {
public:
    // directory: where the daily files live; empty means the process's current directory.
    EventLog(const Clock& clock, NotificationSink& notifications, std::string directory = {},
             SystemJournal* journal = nullptr);

    // The option table whose "log" row switches the writer off (empty), keeps every file ("0") or
    // gives the days to keep. Without a table the writer is off.
    void AttachOptions(const KeyValueTable* options);

    // Writes one entry; message is UTF-8. An empty message writes nothing. A failure to open or
    // create the daily file is thrown to the caller (std::runtime_error).
    void WriteLog(LogLevel level, std::string_view message) override;

    // Forgets the last message, so that the next one is written even when it repeats it.
    void ResetLastLogText();

    // How many error entries were written (repeats dropped) since the log was made.
    long long ErrorEntries() const { return errorEntries_; }

private:
    // Today's file of the level's kind, opened when it exists; otherwise that kind's old files are
    // pruned and the file is created. Throws std::runtime_error when it cannot be opened or created.
    ExclusiveFile OpenDailyFile(LogLevel level, const std::string& keepOption, DateTime now) const;
    std::string PathOf(const std::string& name) const;

    const Clock& clock_;
    NotificationSink& notifications_;
    const std::string directory_;
    SystemJournal* const journal_;
    std::mutex mutex_;
    const KeyValueTable* options_ = nullptr;
    std::string lastLogText_;  // windows-1251, as written
    std::atomic<long long> errorEntries_{0};
};

}  // namespace kiosk
