#include "proxy/filter/document_charset.h"

#include <gtest/gtest.h>

#include <string>

#include "proxy/filter/html_prescan.h"

namespace kiosk {
namespace {

const std::string kHtml = "text/html";

TEST(DocumentCharset, DecidedInOrderHeaderMarkMetaDefault) {
    const std::string metaUtf8 = "<head><meta charset=utf-8>";
    const struct {
        std::string contentType;
        std::string body;
        const char* name;
        const char* source;
    } cases[] = {
        {"text/html; charset=UTF-8", "", "UTF-8", "Content-Type"},
        {"Text/HTML;CHARSET=\"koi8-r\"", metaUtf8, "KOI8-R", "Content-Type"},
        {"text/html; q=\"a;b\"; charset = cp1251 ", "x", "windows-1251", "Content-Type"},
        {"text/html; charset=cp1251", "\xEF\xBB\xBFx", "UTF-8", "byte-order mark"},  // as browsers read it
        {"text/html; charset=klingon", "\xEF\xBB\xBFx", "UTF-8", "byte-order mark"},
        {"text/plain", "\xFF\xFEx\0", "UTF-16LE", "byte-order mark"},
        {"", "\xFE\xFF\0x", "UTF-16BE", "byte-order mark"},
        {kHtml, metaUtf8, "UTF-8", "meta"},
        {"text/plain", metaUtf8, "windows-1251", "default"},
        {kHtml, "<p>Привет</p>", "windows-1251", "default"},
        {"text/html; charset=", "", "windows-1251", "default"},
    };
    for (const auto& c : cases) {
        const DocumentCharset decided = DecideCharset(c.contentType, c.body);
        EXPECT_EQ(decided.name, c.name) << c.contentType << " | " << c.body;
        EXPECT_EQ(decided.source, c.source) << c.contentType << " | " << c.body;
    }
}

TEST(DocumentCharset, MetaPrescanFindsWhatBrowsersFind) {
    const std::string far = "<p>" + std::string(1020, 'x') + "</p>";
    const struct {
        std::string html;
        const char* name;
    } cases[] = {
        {"<META CHARSET='KOI8-R'>", "KOI8-R"},
        {"<meta\tcharset = \"iso-8859-5\" >", "ISO-8859-5"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "UTF-8"},
        {"<meta content='text/html;charset=\"koi8-r\"' HTTP-EQUIV=content-type>", "KOI8-R"},
        {"<meta content=\"text/html; charset=utf-8\">", ""},  // no http-equiv
        {"<meta charset=utf-16>", "UTF-8"},
        {"<meta charset=klingon><meta charset=koi8-r>", "KOI8-R"},
        {"<meta charset=koi8-r charset=utf-8>", "KOI8-R"},
        {"<!-- <meta charset=koi8-r> --><meta charset=utf-8>", "UTF-8"},
        {"<!--> <meta charset=koi8-r>", "KOI8-R"},
        {"<!-- <meta charset=koi8-r>", ""},
        {"<div title='<meta charset=koi8-r>'><meta charset=utf-8>", "UTF-8"},
        {"<metadata charset=koi8-r>", ""},
        {far + "<meta charset=koi8-r>", ""},
        {std::string(1000, ' ') + "<meta charset=koi8-r>", "KOI8-R"},
        {std::string(1010, ' ') + "<meta charset=koi8-r>", ""},  // cut off at 1,024 bytes
    };
    for (const auto& c : cases) EXPECT_EQ(PrescanMetaCharset(c.html), c.name) << c.html;
}

TEST(DocumentCharset, CharsetInMetaContent) {
    const struct {
        const char* content;
        const char* label;
    } cases[] = {
        {"text/html; charset=utf-8", "utf-8"},
        {"text/html;CHARSET = 'koi8-r'", "koi8-r"},
        {"charsetx; charset=a b", "a"},
        {"charset=\"koi8-r", ""},
        {"text/html", ""},
        {"charset", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CharsetInMetaContent(c.content), c.label) << c.content;
}

}  // namespace
}  // namespace kiosk
