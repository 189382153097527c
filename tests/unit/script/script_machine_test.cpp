#include "script/script_machine.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/script/script_harness.h"

namespace kiosk {
namespace {

using testing::RunResult;
using testing::ScriptHarness;

using testing::kDone;
using testing::kFailed;
using testing::kMarkCursor;

class ScriptMachineTest : public testing::ScriptRewriteTest {};

TEST_F(ScriptMachineTest, SearchFailureRule) {
    const std::vector<ScriptStep> missing{{opText, "missing"}, {opAdd, "x"}};
    const RunResult failed = harness_.Run("abc", missing, true);
    EXPECT_EQ(failed.outcome, kFailed);
    EXPECT_EQ(failed.text, "abc");  // add did not run
    EXPECT_EQ(Rewrite("abc", missing), "xabc");
    // continue suspends the rule for one step; the jump over "no" is taken.
    const std::vector<ScriptStep> tested{{opText, "missing"}, {opContinue, ""}, {opTry, "4"},
                                         {opAdd, "no"},       {opLabel, "L"},   {opAdd, "yes"}};
    EXPECT_EQ(Rewrite("abc", tested, true), "yesabc");
    EXPECT_EQ(Rewrite("abc", {{opText, "missing"}, {opTry, "3"}, {opAdd, "no"}, {opLabel, "L"}}), "abc");
    // A failing last step, and a failure of strip, end nothing.
    EXPECT_EQ(Rewrite("abc", {{opText, "missing"}}, true), "abc");
    EXPECT_EQ(Rewrite("abc", {{opStrip, ""}, {opAdd, "x"}}, true), "xabc");
    // error fails also without a search page.
    EXPECT_EQ(harness_.Run("abc", {{opAdd, "x"}, {opError, ""}, {opAdd, "y"}}).outcome, kFailed);
}

TEST_F(ScriptMachineTest, ExitConditions) {
    EXPECT_EQ(Rewrite("abc", {{opExit, ""}, {opAdd, "x"}}), "abc");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opExit, "true"}, {opAdd, "x"}}), "abc");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opExit, "TRUE"}, {opAdd, "x"}}), "abxc");
    EXPECT_EQ(Rewrite("abc", {{opText, "q"}, {opExit, "false"}, {opAdd, "x"}}), "abc");
    // Nothing searched yet (result -1): neither try nor exit "false" acts.
    EXPECT_EQ(Rewrite("abc", {{opTry, "2"}, {opExit, "false"}, {opLabel, "L"}, {opAdd, "x"}}), "xabc");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opRepeat, "3"}, {opAdd, "no"}, {opLabel, "L"}}), "abc");
}

// label A, text foo, continue, try B, replace bar, goto A, label B
TEST_F(ScriptMachineTest, ReplaceAllLoop) {
    const std::vector<ScriptStep> loop{{opLabel, "A"},     {opText, "foo"}, {opContinue, ""}, {opTry, "6"},
                                       {opReplace, "bar"}, {opGoto, "0"},   {opLabel, "B"}};
    EXPECT_EQ(Rewrite("foo x foofoo y fo", loop, true), "bar x barbar y fo");
    EXPECT_EQ(Rewrite("", loop, true), "");
    std::vector<ScriptStep> withoutContinue = loop;
    withoutContinue.erase(withoutContinue.begin() + 2);
    for (auto& step : withoutContinue) {
        if (step.op == opTry) step.parameter = "5";
    }
    EXPECT_EQ(harness_.Run("foo foo", withoutContinue, true).outcome, kFailed);
    EXPECT_EQ(Rewrite("foo foo", withoutContinue), "bar bar");
}

TEST_F(ScriptMachineTest, ParametersAreSearchedAndInsertedAsWindows1251) {
    const std::string privet = "\xEF\xF0\xE8\xE2\xE5\xF2";  // "привет"
    EXPECT_EQ(Rewrite("a " + privet + " b", {{opText, "привет"}, {opReplace, "мир"}}), "a \xEC\xE8\xF0 b");
    EXPECT_EQ(Rewrite("<p>", {{opTag, "p"}, {opAdd, "ё"}}), "<p>\xB8");
}

TEST_F(ScriptMachineTest, ASearchLoopOverALargePageEndsByTimeAndAGrowingTextBySize) {
    // A loop that searches a 1 MiB page for a word that is not there, for ever.
    const std::vector<ScriptStep> searchLoop{{opLabel, "A"}, {opText, "absent"}, {opGoto, "0"}};
    const auto start = std::chrono::steady_clock::now();
    const RunResult slow = harness_.Run(std::string(1 << 20, 'x'), searchLoop);
    EXPECT_EQ(slow.outcome, kFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));  // not minutes
    ASSERT_EQ(harness_.log.Errors().size(), 1u);
    EXPECT_EQ(harness_.log.Errors()[0], "Скрипт документа http://site/* прерван: слишком долго");

    // A loop that doubles nothing but keeps adding to the text.
    const RunResult grown =
        harness_.RunWithin("abc", {{opLabel, "A"}, {opAdd, std::string(1000, 'y')}, {opGoto, "0"}},
                           ScriptBudget{.textSize = 100'000});
    EXPECT_EQ(grown.outcome, kFailed);
    EXPECT_LE(grown.text.size(), 101'000u);
    ASSERT_EQ(harness_.log.Errors().size(), 2u);
    EXPECT_EQ(harness_.log.Errors()[1], "Скрипт документа http://site/* прерван: слишком большой текст");
}

TEST_F(ScriptMachineTest, EndlessLoopIsStoppedAfterTheMostSteps) {
    // Time enough that the steps run out first, however busy the machine.
    const RunResult result = harness_.RunWithin("abc", {{opLabel, "A"}, {opGoto, "0"}},
                                                ScriptBudget{.time = std::chrono::hours(1)});
    EXPECT_EQ(result.outcome, kFailed);
    EXPECT_EQ(result.text, "abc");
    ASSERT_EQ(harness_.log.Errors().size(), 1u);
    EXPECT_EQ(harness_.log.Errors()[0], "Скрипт документа http://site/* прерван: слишком много шагов");
    // The bound counts executed steps: three steps fit into three.
    const std::vector<ScriptStep> three{{opAdd, "a"}, {opAdd, "b"}, {opAdd, "c"}};
    EXPECT_EQ(harness_.Run("", three, false, 3).outcome, kDone);
    EXPECT_EQ(harness_.Run("", three, false, 2).outcome, kFailed);
}

TEST_F(ScriptMachineTest, OddInputEndsNormally) {
    const std::vector<ScriptStep> everything{
        {opText, "a"},   {opExpand, "a"}, {opTag, "a"},  {opTail, "a"},  {opDelete, ""},  {opReplace, ""},
        {opInsert, "<"}, {opAdd, ">"},    {opStrip, ""}, {opStart, ""},  {opCurrent, ""}, {opAfter, ""},
        {opInside, ""},  {opInner, ""},   {opUrl, "x"},  {opGoto, "99"}, {opAdd, "never"}};
    EXPECT_EQ(Rewrite("", everything), "><");  // insert at 0 leaves the cursor at 1, in front
    const std::string binary("\0<a\0>\xFF</a\0>\r\n", 12);
    EXPECT_EQ(harness_.Run(binary, everything).outcome, kDone);
    // A jump target that is not a step number does not jump.
    EXPECT_EQ(Rewrite("abc", {{opGoto, "x"}, {opGoto, "-1"}, {opAdd, "y"}}), "yabc");
}

TEST_F(ScriptMachineTest, LargeDocument) {
    std::string text(50 << 20, 'x');
    text.replace(1000, 3, "foo");
    text.replace(text.size() - 3, 3, "foo");
    const std::vector<ScriptStep> loop{{opLabel, "A"},    {opText, "foo"}, {opContinue, ""}, {opTry, "6"},
                                       {opReplace, "ba"}, {opGoto, "0"},   {opLabel, "B"}};
    const RunResult result = harness_.Run(std::move(text), loop, true);
    EXPECT_EQ(result.outcome, kDone);
    ASSERT_EQ(result.text.size(), (50u << 20) - 2);
    EXPECT_EQ(result.text.substr(1000, 3), "bax");
    EXPECT_EQ(result.text.substr(result.text.size() - 2), "ba");
}

}  // namespace
}  // namespace kiosk
