#include "text/russian_plural.h"

#include <gtest/gtest.h>

#include <utility>

namespace kiosk {
namespace {

TEST(CountInRussian, TakesTheFormOfTheNumber) {
    const std::pair<long long, const char*> cases[] = {
        {0, "0 записей"},     {1, "1 запись"},       {2, "2 записи"},     {4, "4 записи"},
        {5, "5 записей"},     {11, "11 записей"},    {12, "12 записей"},  {14, "14 записей"},
        {21, "21 запись"},    {22, "22 записи"},     {101, "101 запись"}, {111, "111 записей"},
        {112, "112 записей"}, {1004, "1004 записи"},
    };
    for (const auto& [count, text] : cases)
        EXPECT_EQ(CountInRussian(count, "запись", "записи", "записей"), text);
}

}  // namespace
}  // namespace kiosk
