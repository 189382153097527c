#include "log/entry_page.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

struct PageCase {
    const char* message;
    const char* page;
    const char* host;
};

const PageCase kPageCases[] = {
    {"Загружен документ: https://a.example/x?y", "https://a.example/x?y", "a.example"},
    {"http://a.example:81?x > net.html", "http://a.example:81?x", "a.example:81"},
    {"Переход запрещён: file:///etc/passwd", "file:///etc/passwd", ""},
    {"127.0.0.1:8080/x.js: Socket Error # 111", "127.0.0.1:8080/x.js", "127.0.0.1:8080"},
    {"[::1]:80/gone.html: Socket Error", "[::1]:80/gone.html", "[::1]:80"},
    {"[::1]:80: Socket Error", "", ""},
    {"Файл: x.gif - Невозможно загрузить", "", ""},
};

TEST(PageOfEntry, IsTheFirstUrlOrTheProxysLeadingPage) {
    for (const PageCase& c : kPageCases) {
        const EntryPage page = PageOfEntry(c.message);
        EXPECT_EQ(page.page, c.page) << c.message;
        EXPECT_EQ(page.host, c.host) << c.message;
    }
}

}  // namespace
}  // namespace kiosk
