#include "proxy/http/header_dump.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(MaskSecretHeaders, SecretValuesGiveOnlyTheirLength) {
    const struct {
        const char* head;
        const char* masked;
    } cases[] = {
        {"GET /a HTTP/1.1\r\nHost: x\r\nCookie: sid=abc\r\n\r\n",
         "GET /a HTTP/1.1\r\nHost: x\r\nCookie: <7 bytes hidden>\r\n\r\n"},
        {"set-cookie:  a=1; Path=/ \r\n\r\n", "set-cookie: <11 bytes hidden>\r\n\r\n"},
        {"AUTHORIZATION: Basic dTpw\r\nProxy-Authorization: Bearer t\r\n\r\n",
         "AUTHORIZATION: <10 bytes hidden>\r\nProxy-Authorization: <8 bytes hidden>\r\n\r\n"},
        {"Cookie:\r\nCookie : s\r\n\r\n", "Cookie: <0 bytes hidden>\r\nCookie : <1 bytes hidden>\r\n\r\n"},
        // A folded value is hidden with its continuation lines; the next header is kept.
        {"Cookie: a=1;\r\n b=2\r\n\tc=3\r\nAccept: */*\r\n\r\n",
         "Cookie: <16 bytes hidden>\r\nAccept: */*\r\n\r\n"},
        // Names that only contain a secret one, and secret words elsewhere, stay.
        {"X-Cookie: 1\r\nCookie2 : 2\r\nReferer: http://h/Cookie: 3\r\nGET /Cookie: 4\r\n\r\n",
         "X-Cookie: 1\r\nCookie2 : 2\r\nReferer: http://h/Cookie: 3\r\nGET /Cookie: 4\r\n\r\n"},
        {"Cookie: \xC0\xC1\n", "Cookie: <2 bytes hidden>\n"},
        {"Authorization: x", "Authorization: <1 bytes hidden>"},
    };
    for (const auto& c : cases) EXPECT_EQ(MaskSecretHeaders(c.head), c.masked) << c.head;
}

}  // namespace
}  // namespace kiosk
