#include "log/event_log.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "config/option_defaults.h"
#include "log/entry_text.h"
#include "log/journal_entry.h"
#include "os/file_access.h"
#include "text/cp1251.h"
#include "util/date_time.h"
#include "util/integer_text.h"

namespace kiosk {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kWriteFailureText = "Ошибка записи лога";

std::string_view ExtensionOf(LogLevel level) {
    return level == LogLevel::Error ? ".err" : ".log";
}

// "[hh:mm:ss] message" and CR LF; message is one line already (CleanEntryText).
std::string EntryLine(DateTime now, std::string_view message) {
    return "[" + FormatLongTime(now) + "] " + std::string(message) + "\r\n";
}

// Only names that read back as a date in the daily file format are this log's files. Any other file
// with the same extension (notes.log) belongs to someone else and is never deleted.
bool IsExpiredDailyFile(std::string_view name, std::string_view extension, DateTime cutoff) {
    if (!name.ends_with(extension)) return false;
    const std::optional<DateTime> date = ParseShortDate(name.substr(0, name.size() - extension.size()));
    return date.has_value() && *date < cutoff;
}

// Deletes the daily files of one kind dated before cutoff. Never fails: a directory that cannot be
// listed or a file that cannot be deleted is left as it is.
void DeleteExpiredDailyFiles(const fs::path& directory, std::string_view extension, DateTime cutoff) {
    std::vector<fs::path> expired;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        if (IsExpiredDailyFile(it->path().filename().string(), extension, cutoff))
            expired.push_back(it->path());
    }
    for (const fs::path& path : expired) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

// Creating empties the file, so a new daily file is created only when nothing answers to its name;
// anything else (the file, a directory, a name that cannot be examined) goes to the plain open,
// which fails on what is not a writable file.
bool IsAbsent(const std::string& path) {
    std::error_code error;
    return fs::status(path, error).type() == fs::file_type::not_found;
}

}  // namespace

EventLog::EventLog(const Clock& clock, NotificationSink& notifications, std::string directory,
                   SystemJournal* journal)
    : clock_(clock),
      notifications_(notifications),
      directory_(std::move(directory)),
      journal_(journal),
      burstTimer_([this](std::stop_token stop) { EndBurstsWhenQuiet(stop); }) {}

void EventLog::AttachOptions(const KeyValueTable* options) {
    std::lock_guard lock(mutex_);
    WriteCountLines(bursts_.TakeAll(), clock_.Now());
    options_ = options;
}

void EventLog::ResetLastLogText() {
    std::lock_guard lock(mutex_);
    WriteCountLines(bursts_.TakeAll(), clock_.Now());
    lastLogText_.clear();
}

void EventLog::EndQuietBursts() {
    std::lock_guard lock(mutex_);
    const DateTime now = clock_.Now();
    WriteCountLines(bursts_.TakeEnded(now), now);
}

void EventLog::WriteLog(LogLevel level, std::string_view message) {
    if (message.empty()) return;
    // One lock around the whole call: the merging, pruning, the write and the hand-off of two callers
    // never interleave, and a day's file is created only once.
    std::lock_guard lock(mutex_);
    const std::string keepOption = options_ == nullptr ? std::string() : options_->Value("log");
    if (keepOption.empty()) return;

    const std::string clean = CleanEntryText(message);
    const DateTime now = clock_.Now();
    WriteCountLines(bursts_.TakeEnded(now), now);
    if (bursts_.CountRepeat(level, clean, now)) {
        burstCounted_.notify_all();
        return;
    }
    std::string text = Utf8ToCp1251(clean);
    if (text == lastLogText_) return;
    // Taken before writing, so that a message whose writing fails still counts as the last one.
    lastLogText_ = text;
    bursts_.Open(level, clean, now);
    WriteLine(level, clean, text, keepOption, now);
}

void EventLog::WriteLine(LogLevel level, const std::string& utf8, const std::string& cp1251,
                         const std::string& keepOption, DateTime now) {
    // First, so that the journal has the entry also when the daily file cannot be written.
    if (journal_ != nullptr) journal_->Send(JournalEntry(level, utf8));
    ExclusiveFile file = OpenDailyFile(level, keepOption, now);
    if (!file.Append(EntryLine(now, cp1251))) {
        notifications_.QueueNotification(std::string(kWriteFailureText));
    } else if (level == LogLevel::Error) {
        ++errorEntries_;
        notifications_.QueueNotification(Cp1251ToUtf8(cp1251));
    }
}

void EventLog::WriteCountLines(const std::vector<std::string>& lines, DateTime now) {
    const std::string keepOption = options_ == nullptr ? std::string() : options_->Value("log");
    if (keepOption.empty()) return;
    for (const std::string& line : lines) {
        try {
            WriteLine(LogLevel::Error, line, Utf8ToCp1251(line), keepOption, now);
        } catch (...) {
            // The daily file cannot be opened: the next entry's own write reports it. (Nothing may
            // leave the log's timer thread.)
        }
    }
}

// The log's timer: sleeps until a burst has repeats, then wakes when the first such burst ends by the
// clock (checking at least every second, as the clock may be moved) to write its count line.
void EventLog::EndBurstsWhenQuiet(std::stop_token stop) {
    constexpr long long kLongestSleepMilliseconds = 1000;
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        const DateTime now = clock_.Now();
        const std::optional<long long> wait = bursts_.MillisecondsToNextEnd(now);
        if (!wait) {
            burstCounted_.wait(lock, stop, [&] { return bursts_.MillisecondsToNextEnd(now).has_value(); });
        } else if (*wait > 0) {
            const auto slice = std::chrono::milliseconds(std::min(*wait, kLongestSleepMilliseconds));
            burstCounted_.wait_for(lock, stop, slice, [] { return false; });
        } else {
            WriteCountLines(bursts_.TakeEnded(now), now);
        }
    }
}

ExclusiveFile EventLog::OpenDailyFile(LogLevel level, const std::string& keepOption, DateTime now) const {
    const std::string_view extension = ExtensionOf(level);
    const std::string path = PathOf(FormatShortDate(now) + std::string(extension));
    if (!IsAbsent(path)) return ExclusiveFile(path, ExclusiveFile::Mode::OpenExisting);
    // The first entry of the day and kind starts a new file: the time to drop that kind's old files.
    if (keepOption != "0") {
        const DateTime cutoff = now - IntegerOr(keepOption, kDefaultDaysToKeep);
        DeleteExpiredDailyFiles(directory_.empty() ? fs::path(".") : fs::path(directory_), extension, cutoff);
    }
    return ExclusiveFile(path, ExclusiveFile::Mode::CreateEmpty);
}

std::string EventLog::PathOf(const std::string& name) const {
    return directory_.empty() ? name : (fs::path(directory_) / name).string();
}

}  // namespace kiosk
