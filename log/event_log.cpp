#include "log/event_log.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "config/option_defaults.h"
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

// "[hh:mm:ss] message" and CR LF. A CR LF pair inside the message becomes one blank, so that a
// multi-line message still takes one line; a lone CR or LF is kept as it is.
std::string EntryLine(DateTime now, std::string_view message) {
    const std::string time = FormatLongTime(now);
    std::string line;
    line.reserve(time.size() + message.size() + 5);
    line.append("[").append(time).append("] ");
    for (size_t i = 0; i < message.size(); ++i) {
        const bool pair = message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n';
        line += pair ? ' ' : message[i];
        if (pair) ++i;
    }
    line += "\r\n";
    return line;
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
    : clock_(clock), notifications_(notifications), directory_(std::move(directory)), journal_(journal) {}

void EventLog::AttachOptions(const KeyValueTable* options) {
    std::lock_guard lock(mutex_);
    options_ = options;
}

void EventLog::ResetLastLogText() {
    std::lock_guard lock(mutex_);
    lastLogText_.clear();
}

void EventLog::WriteLog(LogLevel level, std::string_view message) {
    if (message.empty()) return;
    // One lock around the whole call: the duplicate check, pruning, the write and the hand-off of two
    // callers never interleave, and a day's file is created only once.
    std::lock_guard lock(mutex_);
    const std::string keepOption = options_ == nullptr ? std::string() : options_->Value("log");
    if (keepOption.empty()) return;

    std::string text = Utf8ToCp1251(message);
    if (text == lastLogText_) return;
    // Taken before writing, so that a message whose writing fails still counts as the last one.
    lastLogText_ = text;
    // First, so that the journal has the entry also when the daily file cannot be written.
    if (journal_ != nullptr) journal_->Send(JournalEntry(level, message));

    const DateTime now = clock_.Now();
    ExclusiveFile file = OpenDailyFile(level, keepOption, now);
    if (!file.Append(EntryLine(now, text))) {
        notifications_.QueueNotification(std::string(kWriteFailureText));
    } else if (level == LogLevel::Error) {
        ++errorEntries_;
        notifications_.QueueNotification(Cp1251ToUtf8(text));
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
