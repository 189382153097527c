#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "script/script_machine.h"
#include "tests/support/temp_dir.h"
#include "tests/unit/script/script_harness.h"

namespace kiosk {
namespace {

using testing::ReadFile;
using testing::RunResult;
using testing::ScriptHarness;
using testing::TempDir;
using testing::WriteFile;

class ScriptFileOperatorsTest : public ::testing::Test {
protected:
    TempDir dir_;
    ScriptHarness harness_{dir_.str()};
};

TEST_F(ScriptFileOperatorsTest, StateAppendsOneLinePerStep) {
    harness_.Run("ab\r\ncdef", {{opState, "state.txt"}, {opText, "de"}, {opState, "state.txt"}});
    EXPECT_EQ(ReadFile(dir_ / "state.txt"),
              "Result:1,0 Length:0 Position:1,1\r\n"
              "Result:2,2 Length:2 Position:2,4\r\n");
    // A cursor past the end still has a column.
    harness_.Run("ab", {{opText, "b"}, {opState, "end.txt"}});
    EXPECT_EQ(ReadFile(dir_ / "end.txt"), "Result:1,2 Length:1 Position:1,3\r\n");
    EXPECT_TRUE(harness_.log.Errors().empty());
}

TEST_F(ScriptFileOperatorsTest, WriteLeavesExactlyTheText) {
    WriteFile(dir_ / "page.txt", std::string(1000, 'z'));
    const RunResult result = harness_.Run("abc", {{opText, "b"}, {opReplace, "B"}, {opWrite, "page.txt"}});
    EXPECT_EQ(result.outcome, ScriptOutcome::Done);
    EXPECT_EQ(ReadFile(dir_ / "page.txt"), "aBc");
}

TEST_F(ScriptFileOperatorsTest, ReadReplacesTheTextButKeepsThePositions) {
    WriteFile(dir_ / "other.txt", "hello world");
    // The search end is still 2 (the old length): "world" lies beyond it, "el" does not.
    EXPECT_EQ(harness_.Run("ab", {{opRead, "other.txt"}, {opText, "world"}, {opReplace, "X"}}).text,
              "hello world");
    EXPECT_EQ(harness_.Run("ab", {{opRead, "other.txt"}, {opText, "el"}, {opReplace, "X"}}).text,
              "hXlo world");
    EXPECT_EQ(harness_.Run("abc", {{opText, "b"}, {opRead, "other.txt"}, {opAdd, "|"}}).text, "he|llo world");
}

TEST_F(ScriptFileOperatorsTest, AWriteFailureIsLoggedAndTheRunGoesOn) {
    std::filesystem::create_symlink("/dev/full", dir_ / "full");
    const RunResult result = harness_.Run("abc", {{opWrite, "full"}, {opState, "full"}, {opAdd, "x"}});
    EXPECT_EQ(result.outcome, ScriptOutcome::Done);
    EXPECT_EQ(result.text, "xabc");
    const std::vector<std::string> expected(2, "Файл: full - Ошибка записи");
    EXPECT_EQ(harness_.log.Errors(), expected);
}

TEST_F(ScriptFileOperatorsTest, AFileThatCannotBeOpenedEndsTheAnswer) {
    std::string text = "abc";
    const DocumentScript reading{"p", {{opAdd, "x"}, {opRead, "missing.txt"}}};
    const ScriptEnvironment environment{harness_.log, dir_.str()};
    EXPECT_THROW(RunScript(reading, text, false, environment), std::runtime_error);
    EXPECT_EQ(text, "xabc");  // the caller still holds a text
    const DocumentScript writing{"p", {{opWrite, "no/such/dir/page.txt"}}};
    EXPECT_THROW(RunScript(writing, text, false, environment), std::runtime_error);
}

// The page's bytes of a Russian text in a charset.
const std::string kUtf8 = "Привет";
const std::string kCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
const std::string kKoi8 = "\xF0\xD2\xC9\xD7\xC5\xD4";
const std::string kUtf8Mark = "\xEF\xBB\xBF";

TEST_F(ScriptFileOperatorsTest, ReadPutsTheFileIntoThePagesCharset) {
    const struct {
        std::string file;
        const char* charset;
        std::string page;  // after the read
    } cases[] = {
        {kUtf8Mark + kUtf8, "windows-1251", kCp1251},
        {kUtf8Mark + kUtf8, "KOI8-R", kKoi8},
        {kUtf8Mark + kUtf8, "UTF-8", kUtf8Mark + kUtf8},  // the page's own mark stays
        {std::string("\xFF\xFE\x1F\x04\x40\x04", 6), "KOI8-R", "\xF0\xD2"},
        {kCp1251, "UTF-8", kUtf8},  // an operator's windows-1251 file
        {kUtf8, "UTF-8", kUtf8},
        {kCp1251, "windows-1251", kCp1251},
        {kUtf8, "windows-1251", kUtf8},  // no mark: the page's own bytes, as ever
        {kKoi8, "KOI8-R", kKoi8},
        {kUtf8Mark + "Ω", "KOI8-R", "abc"},  // logged, the text stays
    };
    for (const auto& c : cases) {
        WriteFile(dir_ / "file.txt", c.file);
        std::string text = "abc";
        const DocumentScript script{"p", {{opRead, "file.txt"}}};
        RunScript(script, text, false, ScriptEnvironment{harness_.log, dir_.str(), c.charset});
        EXPECT_EQ(text, c.page) << c.charset << " " << c.file;
    }
    const std::vector<std::string> expected = {
        "Файл: file.txt - символа «Ω» (U+03A9) нет в кодировке KOI8-R"};
    EXPECT_EQ(harness_.log.Errors(), expected);
}

TEST_F(ScriptFileOperatorsTest, WriteAndReadRoundTripAUtf8Page) {
    const std::string page = "\xEF\xBB\xBF<p>Привет, мир \xF0\x9F\x98\x80</p>";
    const DocumentScript script{
        "p", {{opWrite, "page.txt"}, {opText, "мир"}, {opReplace, "Ω"}, {opRead, "page.txt"}}};
    std::string text = page;
    RunScript(script, text, false, ScriptEnvironment{harness_.log, dir_.str(), "UTF-8"});
    EXPECT_EQ(text, page);
    EXPECT_EQ(ReadFile(dir_ / "page.txt"), page);
}

}  // namespace
}  // namespace kiosk
