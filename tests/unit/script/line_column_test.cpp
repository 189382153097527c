#include <gtest/gtest.h>

#include "script/script_machine.h"

namespace kiosk {
namespace {

TEST(LineColumnTest, CountsLinesAndColumns) {
    EXPECT_EQ(LineColumn("abc", -1), "1,0");
    EXPECT_EQ(LineColumn("abc", 0), "1,0");
    EXPECT_EQ(LineColumn("abc", 1), "1,1");
    EXPECT_EQ(LineColumn("ab\r\ncd", 3), "1,2");  // CR is not counted
    EXPECT_EQ(LineColumn("ab\r\ncd", 4), "2,0");  // on the LF itself
    EXPECT_EQ(LineColumn("ab\r\ncd", 6), "2,2");
    EXPECT_EQ(LineColumn("ab\r\ncd", 8), "2,4");  // past the end counts as ordinary bytes
    EXPECT_EQ(LineColumn("", 1), "1,1");
    EXPECT_EQ(LineColumn("\n\n", 2), "3,0");
}

}  // namespace
}  // namespace kiosk
