#include "text/network_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kiosk {
namespace {

TEST(NetworkText, CyrillicMapsToWindows1251AndTheRestToTheLowByte) {
    EXPECT_EQ(EncodeNetworkText("АЯаяЁё"), "\xC0\xDF\xE0\xFF\xA8\xB8");
    // Other characters keep only their low 8 bits, as the mapping defines: U+20AC (euro) is 0xAC.
    EXPECT_EQ(EncodeNetworkText("€é"), "\xAC\xE9");
    EXPECT_EQ(EncodeNetworkText("GET / HTTP/1.0\r\n"), "GET / HTTP/1.0\r\n");
}

TEST(NetworkText, BytesReadGoBackOutUnchanged) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    EXPECT_EQ(EncodeNetworkText(DecodeNetworkText(all)), all);
    EXPECT_EQ(DecodeNetworkText("\xE9"), "é");
}

}  // namespace
}  // namespace kiosk
