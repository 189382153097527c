#include "log/event_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/temp_dir.h"
#include "text/cp1251.h"

namespace kiosk {
namespace {

namespace fs = std::filesystem;
using testing::FakeClock;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kWriteFailure = "Ошибка записи лога";

class RecordingSink : public NotificationSink {
public:
    void QueueNotification(const std::string& text) override {
        std::lock_guard lock(mutex_);
        texts_.push_back(text);
    }
    std::vector<std::string> Texts() const {
        std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

// The MESSAGE and PRIORITY of every entry sent, as "PRIORITY MESSAGE".
class RecordingJournal : public SystemJournal {
public:
    void Send(const std::vector<JournalField>& fields) override {
        std::string priority, message;
        for (const auto& [name, value] : fields) {
            if (name == "PRIORITY") priority = value;
            if (name == "MESSAGE") message = value;
        }
        entries.push_back(priority + " " + message);
    }
    std::vector<std::string> entries;
};

// The clock stands at 08.12.2026 10:30:00 unless a test moves it.
class EventLogTest : public ::testing::Test {
protected:
    EventLogTest() {
        options_.AddRow("log=31");
        log_.AttachOptions(&options_);
    }

    void SetKeepOption(std::string_view value) { options_.SetValueAt(options_.IndexOfName("log"), value); }
    std::string Content(const std::string& name) const { return ReadFile(dir_ / name); }
    bool Exists(const std::string& name) const { return fs::exists(dir_ / name); }
    void Touch(const std::vector<std::string>& names) const {
        for (const std::string& name : names) WriteFile(dir_ / name, "old\r\n");
    }
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_.path()))
            names.push_back(entry.path().filename());
        return names;
    }

    TempDir dir_;
    FakeClock clock_;
    RecordingSink sink_;
    KeyValueTable options_;
    RecordingJournal journal_;
    EventLog log_{clock_, sink_, dir_.str(), &journal_};
};

// The journal gets what the daily files get, in UTF-8 (also what windows-1251 cannot hold), also
// when the daily file cannot be written; repeats and a switched-off log send nothing.
TEST_F(EventLogTest, EveryEntryWrittenAlsoGoesToTheJournal) {
    log_.WriteLog(LogLevel::Information, "Начало работы");
    log_.WriteLog(LogLevel::Information, "Начало работы");
    log_.WriteLog(LogLevel::Error, "Ошибка ✓");
    SetKeepOption("");
    log_.WriteLog(LogLevel::Error, "switched off");
    SetKeepOption("31");
    fs::remove(dir_ / "08.12.2026.log");
    fs::create_directory(dir_ / "08.12.2026.log");  // the daily file cannot be opened
    EXPECT_THROW(log_.WriteLog(LogLevel::Information, "lost in the file"), std::runtime_error);
    EXPECT_EQ(journal_.entries,
              (std::vector<std::string>{"6 Начало работы", "3 Ошибка ✓", "6 lost in the file"}));
}

TEST_F(EventLogTest, AnImmediateRepetitionIsDroppedAcrossBothLevels) {
    log_.WriteLog(LogLevel::Information, "A");
    log_.WriteLog(LogLevel::Information, "A");
    log_.WriteLog(LogLevel::Information, "B");
    log_.WriteLog(LogLevel::Information, "A");
    EXPECT_EQ(Content("08.12.2026.log"), "[10:30:00] A\r\n[10:30:00] B\r\n[10:30:00] A\r\n");

    // An error equal to the preceding information entry is neither written nor mailed.
    log_.WriteLog(LogLevel::Error, "A");
    EXPECT_FALSE(Exists("08.12.2026.err"));
    EXPECT_TRUE(sink_.Texts().empty());

    log_.ResetLastLogText();
    log_.WriteLog(LogLevel::Error, "A");
    EXPECT_EQ(Content("08.12.2026.err"), "[10:30:00] A\r\n");
    EXPECT_EQ(sink_.Texts(), std::vector<std::string>{"A"});
}

TEST_F(EventLogTest, WithoutTheLogOptionNothingIsWrittenOrQueued) {
    EventLog detached(clock_, sink_, dir_.str());
    detached.WriteLog(LogLevel::Error, "no table");
    SetKeepOption("");
    log_.WriteLog(LogLevel::Information, "info");
    log_.WriteLog(LogLevel::Error, "error");
    log_.WriteLog(LogLevel::Information, "");
    EXPECT_TRUE(FileNames().empty());
    EXPECT_TRUE(sink_.Texts().empty());

    // A call stopped by the switch does not count as the last message.
    SetKeepOption("31");
    log_.WriteLog(LogLevel::Information, "info");
    EXPECT_EQ(Content("08.12.2026.log"), "[10:30:00] info\r\n");
}

TEST_F(EventLogTest, TheFileIsWindows1251WithoutBomAndTheMailKeepsLineBreaks) {
    log_.WriteLog(LogLevel::Information, "Начало работы");
    EXPECT_EQ(Content("08.12.2026.log"), Utf8ToCp1251("[10:30:00] Начало работы\r\n"));

    // ✓ is not in the code page: it becomes '?' in the file and in the mail alike.
    log_.WriteLog(LogLevel::Error, "Сбой\r\nпрокси ✓");
    EXPECT_EQ(Content("08.12.2026.err"), Utf8ToCp1251("[10:30:00] Сбой прокси ?\r\n"));
    EXPECT_EQ(sink_.Texts(), std::vector<std::string>{"Сбой\r\nпрокси ?"});
}

TEST_F(EventLogTest, OnlyCrLfPairsAreJoinedIntoTheLine) {
    log_.WriteLog(LogLevel::Information, "one\r\ntwo");
    log_.WriteLog(LogLevel::Information, "one\ntwo");
    log_.WriteLog(LogLevel::Information, "one\rtwo\r\n\r\n");
    log_.WriteLog(LogLevel::Information, "\n\r\r\n");
    EXPECT_EQ(Content("08.12.2026.log"),
              "[10:30:00] one two\r\n"
              "[10:30:00] one\ntwo\r\n"
              "[10:30:00] one\rtwo  \r\n"
              "[10:30:00] \n\r \r\n");
}

TEST_F(EventLogTest, StartingADayPrunesOldFilesOfThatKindOnly) {
    SetKeepOption("3");
    Touch({"04.12.2026.log", "05.12.2026.log", "06.12.2026.log", "07.12.2026.log", "09.12.2026.log",
           "01.12.2026.err", "01.12.2026.txt"});
    log_.WriteLog(LogLevel::Information, "first");
    EXPECT_FALSE(Exists("04.12.2026.log"));
    EXPECT_FALSE(Exists("05.12.2026.log"));  // today - 3 at 00:00 is before 10:30 of that day
    EXPECT_TRUE(Exists("06.12.2026.log"));
    EXPECT_TRUE(Exists("07.12.2026.log"));
    EXPECT_TRUE(Exists("09.12.2026.log"));
    EXPECT_TRUE(Exists("01.12.2026.err"));
    EXPECT_TRUE(Exists("01.12.2026.txt"));

    log_.WriteLog(LogLevel::Error, "second");
    EXPECT_FALSE(Exists("01.12.2026.err"));
    EXPECT_TRUE(Exists("01.12.2026.txt"));
}

TEST_F(EventLogTest, AtMidnightTheOldestDayStillSurvives) {
    clock_.Set({2026, 12, 8, 0, 0, 0, 0});
    SetKeepOption("3");
    Touch({"04.12.2026.log", "05.12.2026.log"});
    log_.WriteLog(LogLevel::Information, "midnight");
    EXPECT_FALSE(Exists("04.12.2026.log"));
    EXPECT_TRUE(Exists("05.12.2026.log"));
    EXPECT_EQ(Content("08.12.2026.log"), "[00:00:00] midnight\r\n");
}

TEST_F(EventLogTest, AnExistingDailyFileIsAppendedToWithoutPruning) {
    Touch({"08.12.2026.log", "01.01.2020.log"});
    log_.WriteLog(LogLevel::Information, "more");
    EXPECT_EQ(Content("08.12.2026.log"), "old\r\n[10:30:00] more\r\n");
    EXPECT_TRUE(Exists("01.01.2020.log"));
}

TEST_F(EventLogTest, PruningLeavesFilesItDidNotWrite) {
    Touch({"notes.log", ".log", "x.log", "2020.01.01.log", "1.01.2020.log", "01.01.2020.log.log",
           "01.01.2020.LOG", "01.01.2020.log"});
    fs::create_directory(dir_ / "01.01.2019.log");
    log_.WriteLog(LogLevel::Information, "prune");
    EXPECT_FALSE(Exists("01.01.2020.log"));
    for (const char* kept : {"notes.log", ".log", "x.log", "2020.01.01.log", "1.01.2020.log",
                             "01.01.2020.log.log", "01.01.2020.LOG", "01.01.2019.log"}) {
        EXPECT_TRUE(Exists(kept)) << kept;
    }
}

TEST_F(EventLogTest, TheKeepOptionSetsTheCutoff) {
    const std::vector<std::string> files = {"01.01.2000.log", "07.11.2026.log", "08.11.2026.log",
                                            "09.12.2026.log", "10.12.2026.log", "11.12.2026.log"};
    Touch(files);
    SetKeepOption("0");  // keeps everything
    log_.WriteLog(LogLevel::Information, "zero");
    for (const std::string& name : files) EXPECT_TRUE(Exists(name)) << name;

    fs::remove(dir_ / "08.12.2026.log");
    SetKeepOption("abc");  // not a number: 31 days
    log_.WriteLog(LogLevel::Information, "abc");
    EXPECT_FALSE(Exists("01.01.2000.log"));
    EXPECT_FALSE(Exists("07.11.2026.log"));
    EXPECT_TRUE(Exists("08.11.2026.log"));

    fs::remove(dir_ / "08.12.2026.log");
    SetKeepOption("-2");  // the cutoff lies two days ahead, at 10.12.2026 10:30
    log_.WriteLog(LogLevel::Information, "negative");
    EXPECT_FALSE(Exists("08.11.2026.log"));
    EXPECT_FALSE(Exists("09.12.2026.log"));
    EXPECT_FALSE(Exists("10.12.2026.log"));
    EXPECT_TRUE(Exists("11.12.2026.log"));
    EXPECT_EQ(Content("08.12.2026.log"), "[10:30:00] negative\r\n");
}

TEST_F(EventLogTest, AnEmptyDirectoryMeansTheCurrentDirectory) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir_.path());
    Touch({"01.01.2020.err"});
    EventLog here(clock_, sink_, "");
    here.AttachOptions(&options_);
    here.WriteLog(LogLevel::Error, "here");
    fs::current_path(previous);
    EXPECT_EQ(Content("08.12.2026.err"), "[10:30:00] here\r\n");
    EXPECT_FALSE(Exists("01.01.2020.err"));
}

TEST_F(EventLogTest, AFileThatCannotBeOpenedIsThrownAndTheMessageStillCounts) {
    EventLog nowhere(clock_, sink_, (dir_ / "missing").string());
    nowhere.AttachOptions(&options_);
    EXPECT_THROW(nowhere.WriteLog(LogLevel::Error, "lost"), std::runtime_error);
    EXPECT_NO_THROW(nowhere.WriteLog(LogLevel::Error, "lost"));
    EXPECT_FALSE(Exists("missing"));

    // A directory in the way of today's file is not replaced.
    fs::create_directory(dir_ / "08.12.2026.err");
    EXPECT_THROW(log_.WriteLog(LogLevel::Error, "blocked"), std::runtime_error);
    EXPECT_NO_THROW(log_.WriteLog(LogLevel::Error, "blocked"));
    EXPECT_TRUE(fs::is_directory(dir_ / "08.12.2026.err"));
    EXPECT_TRUE(sink_.Texts().empty());
}

TEST_F(EventLogTest, AFailingAppendQueuesTheWriteFailureInstead) {
    fs::create_symlink("/dev/full", dir_ / "08.12.2026.log");
    fs::create_symlink("/dev/full", dir_ / "08.12.2026.err");
    log_.WriteLog(LogLevel::Information, "info");
    log_.WriteLog(LogLevel::Error, "error");
    log_.WriteLog(LogLevel::Error, "error");
    EXPECT_EQ(sink_.Texts(), (std::vector<std::string>{kWriteFailure, kWriteFailure}));
}

TEST_F(EventLogTest, ConcurrentWritersGiveWholeLinesAndOneNotificationPerError) {
    constexpr int kThreads = 8;
    constexpr int kEntries = 1000;
    std::atomic<int> failures = 0;  // writers shut out of a file another one holds
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &failures] {
            for (int n = 0; n < kEntries; ++n) {
                const LogLevel level = n % 4 == 0 ? LogLevel::Error : LogLevel::Information;
                try {
                    log_.WriteLog(level, "t" + std::to_string(t) + " n" + std::to_string(n));
                } catch (const std::runtime_error&) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, 0);

    const std::regex line(R"(\[10:30:00\] (t\d n\d+)\r\n)");
    std::set<std::string> errors;
    size_t lines = 0;
    for (const char* name : {"08.12.2026.log", "08.12.2026.err"}) {
        const std::string content = Content(name);
        size_t consumed = 0;
        for (std::sregex_iterator it(content.begin(), content.end(), line), end; it != end; ++it) {
            EXPECT_EQ(it->position(), static_cast<std::ptrdiff_t>(consumed));
            consumed += static_cast<size_t>(it->length());
            ++lines;
            if (std::string(name).ends_with(".err")) errors.insert((*it)[1]);
        }
        EXPECT_EQ(consumed, content.size()) << name;
    }
    EXPECT_EQ(lines, static_cast<size_t>(kThreads * kEntries));
    EXPECT_EQ(errors.size(), static_cast<size_t>(kThreads * kEntries / 4));
    const std::vector<std::string> mailed = sink_.Texts();
    EXPECT_EQ(std::set<std::string>(mailed.begin(), mailed.end()), errors);
    EXPECT_EQ(mailed.size(), errors.size());
}

}  // namespace
}  // namespace kiosk
