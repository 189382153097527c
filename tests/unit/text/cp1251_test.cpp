#include "text/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "text/network_text.h"

namespace kiosk {
namespace {

// glibc's own windows-1251 table, as an independent reference.
std::string IconvToUtf8(const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    std::string out(bytes.size() * 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1)) return "<invalid>";
    out.resize(out.size() - outLeft);
    return out;
}

TEST(Cp1251, EveryAssignedByteMatchesTheSystemTable) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x98) continue;  // unassigned in windows-1251
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Cp1251ToUtf8(one), IconvToUtf8(one)) << "byte " << byte;
    }
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, RussianTextAndUnmappableCharacters) {
    EXPECT_EQ(Utf8ToCp1251("Не работает"), "\xCD\xE5 \xF0\xE0\xE1\xEE\xF2\xE0\xE5\xF2");
    EXPECT_EQ(Utf8ToCp1251("Ёё№"), "\xA8\xB8\xB9");
    EXPECT_EQ(Utf8ToCp1251("é中😀"), "???");
    // Invalid UTF-8 bytes each become one question mark, never a crash or a lost neighbour.
    EXPECT_EQ(Utf8ToCp1251(std::string("a\xC3(b\xFF", 5)), "a?(b?");
    EXPECT_EQ(Utf8ToCp1251(std::string("x\xE2\x82", 3)), "x??");
}

}  // namespace
}  // namespace kiosk
