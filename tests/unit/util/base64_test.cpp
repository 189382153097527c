#include "util/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace kiosk {
namespace {

TEST(Base64, TheStandardVectorsWithTheirPadding) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(Base64Encode("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64Encode("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
}

TEST(Base64, EveryByteValueAndNoLineBreaks) {
    EXPECT_EQ(Base64Encode(std::string("\0\0\0", 3)), "AAAA");
    EXPECT_EQ(Base64Encode("\xFF\xFF\xFF"), "////");
    EXPECT_EQ(Base64Encode("\xFB\xEF\xBE"), "++++");
    const std::string encoded = Base64Encode(std::string(300, 'x'));
    EXPECT_EQ(encoded.size(), 400u);
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kiosk
