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

}  // namespace
}  // namespace kiosk
