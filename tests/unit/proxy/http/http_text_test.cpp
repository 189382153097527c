#include "proxy/http/http_text.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(HeadText, EveryLineAndTheEndOfTheHeadTakeCrLf) {
    EXPECT_EQ(HeadText({"HTTP/1.1 200 OK", "Content-Length: 0"}),
              "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(HeadText({}), "\r\n");
}

TEST(StatusCode, TheNumberAfterTheFirstBlank) {
    EXPECT_EQ(StatusCode("HTTP/1.1 200 OK"), 200);
    EXPECT_EQ(StatusCode("HTTP/1.0 304"), 304);
    EXPECT_EQ(StatusCode("HTTP/1.1 204No Content"), 204);  // the digits are read up to the first other byte
    EXPECT_EQ(StatusCode("HTTP/1.1"), 0);
    EXPECT_EQ(StatusCode("404"), 0);  // no blank: no code
    EXPECT_EQ(StatusCode("HTTP/1.1  200 OK"), 0);
    EXPECT_EQ(StatusCode("HTTP/1.1 OK"), 0);
    EXPECT_EQ(StatusCode("HTTP/1.1 99999999999 Too Large"), 0);
    EXPECT_EQ(StatusCode(""), 0);
}

}  // namespace
}  // namespace kiosk
