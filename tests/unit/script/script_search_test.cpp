// The searching operators: text, tag, tail and expand, up to the search end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/script/script_harness.h"

namespace kiosk {
namespace {

using namespace testing;

class ScriptSearchTest : public ScriptRewriteTest {};

TEST_F(ScriptSearchTest, TextSearchesFromTheCursorUpToTheSearchEnd) {
    // current before any match puts the cursor at 0, where nothing is found until start.
    EXPECT_EQ(Rewrite("abc", {{opCurrent, ""}, {opText, "b"}, {opReplace, "X"}}), "abc");
    EXPECT_EQ(Rewrite("abc", {{opCurrent, ""}, {opStart, ""}, {opText, "b"}, {opReplace, "X"}}), "aXc");
    EXPECT_EQ(Rewrite("abc", {{opText, "B"}, {opReplace, "X"}}), "abc");  // case-sensitive
    // add grows the text but not the search end (2): "ab" now starts at 4, "yz" at 2.
    EXPECT_EQ(Rewrite("ab", {{opAdd, "xyz"}, {opStart, ""}, {opText, "ab"}, {opReplace, "!"}}), "xyzab");
    EXPECT_EQ(Rewrite("ab", {{opAdd, "xyz"}, {opStart, ""}, {opText, "yz"}, {opReplace, "!"}}), "x!ab");
}

TEST_F(ScriptSearchTest, TailFollowsNesting) {
    const std::vector<ScriptStep> steps{{opTag, "div"}, {opTail, "div"}, {opReplace, "Z"}};
    EXPECT_EQ(Rewrite("<div id=a><div id=b>x</div></div>", steps), "<div id=a><div id=b>x</div>Z");
    // <div> counts up at its "<" and down at its ">", so the first </div> closes the outer tag.
    EXPECT_EQ(Rewrite("<div><div>x</div></div>", steps), "<div><div>xZ</div>");
    EXPECT_EQ(Rewrite("<div id=a>x", steps), "<div id=a>x");                        // no closing tag
    EXPECT_EQ(Rewrite("<p>x</p>", {{opTail, "p"}, {opReplace, "Z"}}), "<p>x</p>");  // no tag selected
}

TEST_F(ScriptSearchTest, ExpandWidensAMatchToItsTag) {
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

TEST_F(ScriptSearchTest, TagWithoutItsEndBeforeTheSearchEndFails) {
    // replace makes "<a x>" but the search end stays 4, before the ">".
    const std::vector<ScriptStep> steps{{opText, "x"},    {opReplace, "x>"}, {opStart, ""}, {opTag, "a"},
                                        {opContinue, ""}, {opExit, "false"}, {opAdd, "!"}};
    EXPECT_EQ(Rewrite("<a x", steps, true), "<a x>");
    EXPECT_EQ(Rewrite("<a x", {{opTag, "a"}, {opDelete, ""}}), "<a x");
}

}  // namespace
}  // namespace kiosk
