#include "script/script_machine.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/script/script_harness.h"

namespace kiosk {
namespace {

using testing::RunResult;
using testing::ScriptHarness;

constexpr auto kDone = ScriptOutcome::Done;
constexpr auto kFailed = ScriptOutcome::Failed;

// add "|" as a last step shows where the cursor was left.
const ScriptStep kMarkCursor{opAdd, "|"};

class ScriptMachineTest : public ::testing::Test {
protected:
    // The resulting text of a run that must end with Done.
    std::string Rewrite(std::string text, std::vector<ScriptStep> steps, bool searchPage = false) {
        const RunResult result = harness_.Run(std::move(text), std::move(steps), searchPage);
        EXPECT_EQ(result.outcome, kDone);
        return result.text;
    }

    ScriptHarness harness_;
};

TEST_F(ScriptMachineTest, EditsAroundAFoundText) {
    EXPECT_EQ(Rewrite("abc abc", {{opText, "abc"}, {opReplace, "X"}, kMarkCursor}), "X a|bc");
    EXPECT_EQ(Rewrite("abc abc", {{opText, "abc"}, {opDelete, ""}, kMarkCursor}), "| abc");
    EXPECT_EQ(Rewrite("xyz", {{opInsert, "Q"}, kMarkCursor}), "|Qxyz");
    // replace left the cursor at 3, now past the end, so add appends.
    EXPECT_EQ(Rewrite("aXb", {{opText, "X"}, {opReplace, ""}, {opAdd, "Z"}}), "abZ");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opInsert, "<>"}, kMarkCursor}), "a<>|bc");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opAfter, ""}, kMarkCursor}), "ab|c");
    EXPECT_EQ(Rewrite("abcabc", {{opText, "c"}, {opText, "b"}, {opCurrent, ""}, kMarkCursor}), "abca|bc");
}

TEST_F(ScriptMachineTest, ReplaceNeedsASuccessfulSearch) {
    EXPECT_EQ(Rewrite("abc", {{opReplace, "X"}}), "abc");
    EXPECT_EQ(Rewrite("abc", {{opText, "q"}, {opReplace, "X"}}), "abc");
    // delete keeps the search result, so a later replace works on the emptied selection.
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opDelete, ""}, {opReplace, "XY"}}), "aXYc");
}

TEST_F(ScriptMachineTest, TextSearchesFromTheCursorUpToTheSearchEnd) {
    // current before any match puts the cursor at 0, where nothing is found until start.
    EXPECT_EQ(Rewrite("abc", {{opCurrent, ""}, {opText, "b"}, {opReplace, "X"}}), "abc");
    EXPECT_EQ(Rewrite("abc", {{opCurrent, ""}, {opStart, ""}, {opText, "b"}, {opReplace, "X"}}), "aXc");
    EXPECT_EQ(Rewrite("abc", {{opText, "B"}, {opReplace, "X"}}), "abc");  // case-sensitive
    // add grows the text but not the search end (2): "ab" now starts at 4, "yz" at 2.
    EXPECT_EQ(Rewrite("ab", {{opAdd, "xyz"}, {opStart, ""}, {opText, "ab"}, {opReplace, "!"}}), "xyzab");
    EXPECT_EQ(Rewrite("ab", {{opAdd, "xyz"}, {opStart, ""}, {opText, "yz"}, {opReplace, "!"}}), "x!ab");
}

TEST_F(ScriptMachineTest, DeleteMovesTheSearchEndOnlyWhenTheSelectionEndsBeforeIt) {
    // "ab" deleted from "abcd": the search end moves from 4 to 2, so "cd" is still found.
    EXPECT_EQ(
        Rewrite("abcd", {{opText, "ab"}, {opDelete, ""}, {opStart, ""}, {opText, "cd"}, {opReplace, "X"}}),
        "X");
    // Deleting the last byte leaves the search end past the text; scans stop at the text's end.
    EXPECT_EQ(Rewrite("<a c", {{opText, " c"}, {opDelete, ""}, {opStart, ""}, {opTag, "a"}, {opDelete, ""}}),
              "<a");
    EXPECT_EQ(
        Rewrite("abc", {{opText, "c"}, {opDelete, ""}, {opDelete, ""}, {opText, "c"}, {opReplace, "X"}}),
        "ab");
}

TEST_F(ScriptMachineTest, TagTailAndStrip) {
    const std::string page = "<b><a href=x>y</a>";
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opInsert, "|"}}), "<b>|<a href=x>y</a>");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, kMarkCursor}), "<b><a href=x>|y</a>");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opTail, "a"}, {opReplace, "</i>"}}), "<b><a href=x>y</i>");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opTail, "a"}, {opStrip, ""}, kMarkCursor}), "<b>y|");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opStrip, ""}}), "<b>y</a>");
    // The name is a prefix test and "<" is skipped; "</" is not an opening tag.
    EXPECT_EQ(Rewrite("</div><divider>", {{opTag, "div"}, {opDelete, ""}}), "</div>");
}

TEST_F(ScriptMachineTest, TailFollowsNesting) {
    const std::vector<ScriptStep> steps{{opTag, "div"}, {opTail, "div"}, {opReplace, "Z"}};
    EXPECT_EQ(Rewrite("<div id=a><div id=b>x</div></div>", steps), "<div id=a><div id=b>x</div>Z");
    // <div> counts up at its "<" and down at its ">", so the first </div> closes the outer tag.
    EXPECT_EQ(Rewrite("<div><div>x</div></div>", steps), "<div><div>xZ</div>");
    EXPECT_EQ(Rewrite("<div id=a>x", steps), "<div id=a>x");                        // no closing tag
    EXPECT_EQ(Rewrite("<p>x</p>", {{opTail, "p"}, {opReplace, "Z"}}), "<p>x</p>");  // no tag selected
}

TEST_F(ScriptMachineTest, ExpandWidensAMatchToItsTag) {
    EXPECT_EQ(Rewrite("<p><a href=x>", {{opText, "href"}, {opExpand, "a"}, kMarkCursor}), "<p>|<a href=x>");
    EXPECT_EQ(Rewrite("<p><a href=x>", {{opText, "href"}, {opExpand, "a"}, {opDelete, ""}}), "<p>");
    // The cursor is left at the "<", so href is found again (no search failure).
    EXPECT_EQ(Rewrite("<p><a href=x>",
                      {{opText, "href"}, {opExpand, "a"}, {opText, "href"}, {opReplace, "H"}}, true),
              "<p><a H=x>");
    // Only the nearest "<" counts: the <a> further back is not taken.
    EXPECT_EQ(harness_.Run("<a x><b>q</b>", {{opText, "q"}, {opExpand, "a"}, {opDelete, ""}}, true).outcome,
              kFailed);
    EXPECT_EQ(Rewrite("<a x><b>q</b>", {{opText, "q"}, {opExpand, "a"}, {opDelete, ""}}), "<a x><b></b>");
}

TEST_F(ScriptMachineTest, TagWithoutItsEndBeforeTheSearchEndFails) {
    // replace makes "<a x>" but the search end stays 4, before the ">".
    const std::vector<ScriptStep> steps{{opText, "x"},    {opReplace, "x>"}, {opStart, ""}, {opTag, "a"},
                                        {opContinue, ""}, {opExit, "false"}, {opAdd, "!"}};
    EXPECT_EQ(Rewrite("<a x", steps, true), "<a x>");
    EXPECT_EQ(Rewrite("<a x", {{opTag, "a"}, {opDelete, ""}}), "<a x");
}

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

TEST_F(ScriptMachineTest, EndlessLoopIsStoppedAfterTheMostSteps) {
    const RunResult result = harness_.Run("abc", {{opLabel, "A"}, {opGoto, "0"}});
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
