#include "text/charset_label.h"

#include <gtest/gtest.h>

#include <vector>

namespace kiosk {
namespace {

TEST(CharsetLabel, PageLabelsHaveTheirCanonicalNames) {
    const struct {
        const char* name;
        std::vector<const char*> labels;
    } cases[] = {
        {"UTF-8", {"utf-8", " UTF8\t", "unicode-1-1-utf-8"}},
        {"windows-1251", {"windows-1251", "CP1251", "x-cp1251"}},
        {"KOI8-R", {"koi8-r", "koi8", "csKOI8R", "koi8_r"}},
        {"KOI8-U", {"koi8-u"}},
        {"ISO-8859-5", {"iso-8859-5", "ISO_8859-5", "cyrillic", "csisolatincyrillic"}},
        {"windows-1252", {"iso-8859-1", "latin1", "US-ASCII", "ascii"}},
        {"UTF-16LE", {"utf-16", "utf-16le"}},
        {"UTF-16BE", {"utf-16be"}},
        {"IBM866", {"cp866"}},
    };
    for (const auto& c : cases) {
        for (const char* label : c.labels) EXPECT_EQ(CanonicalCharset(label), c.name) << label;
    }
}

TEST(CharsetLabel, UnknownLabelsHaveNoName) {
    for (const char* label :
         {"", " ", "utf-7", "koi8-r2", "windows 1251", "utf\xC2\xA0-8", "x-user-defined"}) {
        EXPECT_EQ(CanonicalCharset(label), "") << label;
    }
}

}  // namespace
}  // namespace kiosk
