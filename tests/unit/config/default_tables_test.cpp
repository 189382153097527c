#include "config/default_tables.h"

#include <gtest/gtest.h>

#include <iterator>

#include "script/document_script.h"

namespace kiosk {
namespace {

TEST(OperatorTable, RowPositionsAreTheOperatorNumbers) {
    KeyValueTable operators;
    FillOperatorTable(operators);
    ASSERT_EQ(operators.Count(), kOperatorCount);
    EXPECT_EQ(operators.IndexOfName("url"), opUrl);
    EXPECT_EQ(operators.IndexOfName("strip"), opStrip);
    EXPECT_EQ(operators.IndexOfName("label"), opLabel);
    EXPECT_EQ(operators.IndexOfName("goto"), opGoto);
    EXPECT_EQ(operators.IndexOfName("read"), opRead);
    EXPECT_EQ(OperatorKind(operators, opText), 's');
    EXPECT_EQ(OperatorKind(operators, opRepeat), 'l');
    EXPECT_EQ(OperatorKind(operators, opExit), '*');
    EXPECT_EQ(OperatorKind(operators, opDelete), '\0');
}

TEST(OptionTable, RowsAndDefaultsInTheirOrder) {
    KeyValueTable options;
    FillOptionTable(options);
    const char* const rows[] = {"start=",    "process=",   "zoom=0",   "interval=0", "keys=0",
                                "back=true", "menu=false", "sleep=15", "log=31",     "internal=8181",
                                "port=8080", "proxy=",     "host=",    "login=",     "password=",
                                "headers=",  "https=",     "cafile=",  "metrics=",   "language="};
    ASSERT_EQ(options.Count(), static_cast<int>(std::size(rows)));
    for (int i = 0; i < options.Count(); ++i) EXPECT_EQ(options.Row(i), rows[i]);
}

TEST(KeyValueTable, ReplacingAValueKeepsTheName) {
    KeyValueTable options;
    FillOptionTable(options);
    EXPECT_EQ(options.Value("sleep"), "15");
    EXPECT_EQ(options.Value("nothing"), "");
    options.SetValueAt(options.IndexOfName("start"), "a=b");
    EXPECT_EQ(options.Row(0), "start=a=b");
    EXPECT_EQ(options.Value("start"), "a=b");
    EXPECT_EQ(options.IndexOfName("start=a"), -1);
}

}  // namespace
}  // namespace kiosk
