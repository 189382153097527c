// The editing operators: replace, delete, insert, add, after, current and strip.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/script/script_harness.h"

namespace kiosk {
namespace {

using namespace testing;

class ScriptEditTest : public ScriptRewriteTest {};

TEST_F(ScriptEditTest, EditsAroundAFoundText) {
    EXPECT_EQ(Rewrite("abc abc", {{opText, "abc"}, {opReplace, "X"}, kMarkCursor}), "X a|bc");
    EXPECT_EQ(Rewrite("abc abc", {{opText, "abc"}, {opDelete, ""}, kMarkCursor}), "| abc");
    EXPECT_EQ(Rewrite("xyz", {{opInsert, "Q"}, kMarkCursor}), "|Qxyz");
    // replace left the cursor at 3, now past the end, so add appends.
    EXPECT_EQ(Rewrite("aXb", {{opText, "X"}, {opReplace, ""}, {opAdd, "Z"}}), "abZ");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opInsert, "<>"}, kMarkCursor}), "a<>|bc");
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opAfter, ""}, kMarkCursor}), "ab|c");
    EXPECT_EQ(Rewrite("abcabc", {{opText, "c"}, {opText, "b"}, {opCurrent, ""}, kMarkCursor}), "abca|bc");
}

TEST_F(ScriptEditTest, ReplaceNeedsASuccessfulSearch) {
    EXPECT_EQ(Rewrite("abc", {{opReplace, "X"}}), "abc");
    EXPECT_EQ(Rewrite("abc", {{opText, "q"}, {opReplace, "X"}}), "abc");
    // delete keeps the search result, so a later replace works on the emptied selection.
    EXPECT_EQ(Rewrite("abc", {{opText, "b"}, {opDelete, ""}, {opReplace, "XY"}}), "aXYc");
}

TEST_F(ScriptEditTest, DeleteMovesTheSearchEndOnlyWhenTheSelectionEndsBeforeIt) {
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

TEST_F(ScriptEditTest, TagTailAndStrip) {
    const std::string page = "<b><a href=x>y</a>";
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opInsert, "|"}}), "<b>|<a href=x>y</a>");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, kMarkCursor}), "<b><a href=x>|y</a>");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opTail, "a"}, {opReplace, "</i>"}}), "<b><a href=x>y</i>");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opTail, "a"}, {opStrip, ""}, kMarkCursor}), "<b>y|");
    EXPECT_EQ(Rewrite(page, {{opTag, "a"}, {opStrip, ""}}), "<b>y</a>");
    // The name is a prefix test and "<" is skipped; "</" is not an opening tag.
    EXPECT_EQ(Rewrite("</div><divider>", {{opTag, "div"}, {opDelete, ""}}), "</div>");
}

}  // namespace
}  // namespace kiosk
