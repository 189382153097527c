#include "script/working_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kiosk {
namespace {

std::int64_t ModelFind(const std::string& model, const std::string& needle, std::int64_t from,
                       std::int64_t lastStart) {
    if (needle.empty() || from < 0 || from >= std::ssize(model)) return -1;
    const std::size_t hit = model.find(needle, static_cast<std::size_t>(from));
    return hit == std::string::npos || static_cast<std::int64_t>(hit) > lastStart
               ? -1
               : static_cast<std::int64_t>(hit);
}

std::int64_t ModelFindByte(const std::string& model, char byte, std::int64_t from, std::int64_t last) {
    for (std::int64_t i = std::max<std::int64_t>(from, 0); i <= last && i < std::ssize(model); ++i) {
        if (model[static_cast<std::size_t>(i)] == byte) return i;
    }
    return -1;
}

std::int64_t ModelFindByteBackward(const std::string& model, char byte, std::int64_t from,
                                   std::int64_t lowest) {
    for (std::int64_t i = std::min(from, std::ssize(model) - 1); i >= std::max<std::int64_t>(lowest, 0);
         --i) {
        if (model[static_cast<std::size_t>(i)] == byte) return i;
    }
    return -1;
}

// Random edits and searches, wherever the gap happens to be, must agree with a plain string.
TEST(WorkingTextTest, AgreesWithAPlainString) {
    std::mt19937 random(12345);
    auto below = [&](std::int64_t bound) {
        return std::uniform_int_distribution<std::int64_t>(0, std::max<std::int64_t>(bound - 1, 0))(random);
    };
    auto piece = [&](std::int64_t most) {
        std::string out(static_cast<std::size_t>(below(most + 1)), 'a');
        for (char& c : out) c = static_cast<char>('a' + below(3));
        return out;
    };
    std::string model = piece(50);
    WorkingText text(model);
    for (int round = 0; round < 20000; ++round) {
        const std::int64_t size = std::ssize(model);
        const std::int64_t pos = below(size + 1);
        const std::int64_t count = below(size - pos + 1);
        switch (below(6)) {
            case 0: {
                // Long insertions now and then make the gap grow.
                const std::string bytes = piece(below(10) == 0 ? 5000 : 6);
                text.Replace(pos, count, bytes);
                model.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(count), bytes);
                break;
            }
            case 1: {
                const std::string needle = piece(3);
                const std::int64_t lastStart = pos + below(size + 2) - 1;
                ASSERT_EQ(text.Find(needle, pos, lastStart), ModelFind(model, needle, pos, lastStart));
                break;
            }
            case 2:
                ASSERT_EQ(text.FindByte('c', pos - 1, pos + count),
                          ModelFindByte(model, 'c', pos - 1, pos + count));
                break;
            case 3:
                ASSERT_EQ(text.FindByteBackward('c', pos + count, pos - 1),
                          ModelFindByteBackward(model, 'c', pos + count, pos - 1));
                break;
            case 4:
                ASSERT_EQ(text.Copy(pos, count),
                          model.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(count)));
                break;
            default:
                if (pos < size) {
                    ASSERT_EQ(text.at(pos), model[static_cast<std::size_t>(pos)]);
                }
                break;
        }
        ASSERT_EQ(text.size(), std::ssize(model));
        if (round % 1000 == 0) {
            ASSERT_EQ(text.View(), model);
        }
    }
    EXPECT_EQ(text.Release(), model);
    EXPECT_EQ(text.size(), 0);
}

}  // namespace
}  // namespace kiosk
