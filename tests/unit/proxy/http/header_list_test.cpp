#include "proxy/http/header_list.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

HeaderList Headers(std::initializer_list<const char*> lines) {
    HeaderList headers;
    for (const char* line : lines) headers.Add(line);
    return headers;
}

TEST(HeaderList, LookupIgnoresCaseAndJoinsContinuationLines) {
    const HeaderList headers = Headers({"HTTP/1.1 200 OK", "content-TYPE:  text/html ", "X-Long: first",
                                        " second", "\tthird  ", "Content-Type: text/plain"});
    EXPECT_EQ(headers.Value("Content-Type"), "text/html");  // the first line of that name
    EXPECT_EQ(headers.Value("x-long"), "first second third");
    EXPECT_EQ(headers.Value("Content-Length"), "");
    EXPECT_EQ(headers.Value("Content"), "");  // a name is compared whole
}

TEST(HeaderList, SettingReplacesAppendsAndDeletes) {
    HeaderList headers = Headers({"HTTP/1.1 200 OK", "X-Long: a", " b", "Content-Length: 10", "Server: x"});
    headers.SetValue("x-long", "c");
    headers.SetValue("Content-Encoding", "identity");
    headers.SetValue("server", "");
    EXPECT_EQ(headers.Lines(), (std::vector<std::string>{"HTTP/1.1 200 OK", "x-long: c", "Content-Length: 10",
                                                         "Content-Encoding: identity"}));
    headers.SetValue("Missing", "");  // deleting what is not there changes nothing
    EXPECT_EQ(headers.Count(), 4u);
}

TEST(HeaderList, LongLinesAreFoldedAndReadBackWhole) {
    HeaderList headers;
    std::string value;
    for (int i = 0; i < 30; ++i) value += "word" + std::to_string(i) + " ";
    value.pop_back();
    headers.SetValue("X-Words", value);
    ASSERT_GT(headers.Count(), 1u);
    for (const std::string& line : headers.Lines()) EXPECT_LE(line.size(), HeaderList::kFoldLength);
    for (size_t i = 1; i < headers.Count(); ++i) EXPECT_EQ(headers[i].front(), ' ');
    EXPECT_EQ(headers.Value("X-Words"), value);

    // A value without blanks cannot be folded and stays one line; setting it again replaces the fold.
    const std::string unbroken(200, 'x');
    headers.SetValue("X-Words", unbroken);
    EXPECT_EQ(headers.Lines(), (std::vector<std::string>{"X-Words: " + unbroken}));
}

}  // namespace
}  // namespace kiosk
