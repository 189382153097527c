#include "config/key_value_table.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kiosk {
namespace {

TEST(KeyValueTable, TheNameEndsAtTheFirstEqualsSignAndTheValueIsTheRest) {
    KeyValueTable table;
    table.AddRow("start=index.html");
    table.AddRow("url=a=b");
    table.AddRow("bare");
    EXPECT_EQ(table.Name(1), "url");
    EXPECT_EQ(table.ValueAt(1), "a=b");
    EXPECT_EQ(table.Name(2), "bare");
    EXPECT_EQ(table.ValueAt(2), "");
    EXPECT_EQ(table.Value("start"), "index.html");
    EXPECT_EQ(table.Value("Start"), "");  // names are compared exactly
    EXPECT_EQ(table.Value("missing"), "");
    EXPECT_EQ(table.IndexOfName("bare"), 2);
    EXPECT_EQ(table.IndexOfName("url=a"), -1);
}

TEST(KeyValueTable, SettingAValueKeepsTheRowsNameAndPlace) {
    KeyValueTable table;
    table.AddRow("log=31");
    table.AddRow("bare");
    table.AddRow("log=second");
    table.SetValueAt(1, "x=y");
    table.SetValueAt(0, "");
    EXPECT_EQ(table.Row(0), "log=");
    EXPECT_EQ(table.Row(1), "bare=x=y");
    EXPECT_EQ(table.Value("log"), "");  // the first row of a name counts
    EXPECT_EQ(table.Count(), 3);
    EXPECT_THROW(table.SetValueAt(3, "v"), std::out_of_range);
}

}  // namespace
}  // namespace kiosk
