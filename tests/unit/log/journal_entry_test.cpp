#include "log/journal_entry.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

using Fields = std::vector<JournalField>;

TEST(JournalEntryTest, LevelsBecomePrioritiesAndAPageNamedInTheMessageBecomesKioskUrl) {
    EXPECT_EQ(JournalEntry(LogLevel::Information, "Начало работы"),
              (Fields{{"PRIORITY", "6"},
                      {"MESSAGE", "Начало работы"},
                      {"SYSLOG_IDENTIFIER", "kiosk-shell"},
                      {"KIOSK_LEVEL", "information"}}));
    const Fields error = JournalEntry(LogLevel::Error, "http://a.example/x?y=1 > net.html");
    EXPECT_EQ(error.front(), (JournalField{"PRIORITY", "3"}));
    EXPECT_EQ(error[3], (JournalField{"KIOSK_LEVEL", "error"}));
    EXPECT_EQ(error.back(), (JournalField{"KIOSK_URL", "http://a.example/x?y=1"}));
}

TEST(JournalEntryTest, TheFirstUrlOfAnyKnownSchemeIsFound) {
    EXPECT_EQ(UrlInMessage("Загружен документ: https://a.example/"), "https://a.example/");
    EXPECT_EQ(UrlInMessage("Переход запрещён: file:///etc/passwd"), "file:///etc/passwd");
    EXPECT_EQ(UrlInMessage("x file:///a then http://b/\r\nmore"), "file:///a");
    EXPECT_EQ(UrlInMessage("a.example:80/x: Connection Closed Gracefully."), "");
    EXPECT_EQ(UrlInMessage("ends with http://b/"), "http://b/");
}

}  // namespace
}  // namespace kiosk
