#include "platform/linux/systemd_journal.h"

#include <gtest/gtest.h>

#include "tests/support/datagram_receiver.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;

TEST(SystemdJournalTest, FieldsAreEncodedPlainOrWithTheirLengthWhenTheyBreakLines) {
    EXPECT_EQ(EncodeJournalFields({{"PRIORITY", "6"}, {"MESSAGE", "Начало работы"}}),
              "PRIORITY=6\nMESSAGE=Начало работы\n");
    EXPECT_EQ(EncodeJournalFields({{"MESSAGE", "a\r\nb"}}),
              std::string("MESSAGE\n\x04\0\0\0\0\0\0\0a\r\nb\n", 21));
}

TEST(SystemdJournalTest, AVeryLongValueIsCutAtAWholeCharacter) {
    const std::string encoded =
        EncodeJournalFields({{"MESSAGE", std::string(kLongestJournalValue - 1, 'x') + "я"}});
    // One byte of room is left for the two-byte letter: it goes whole.
    EXPECT_EQ(encoded, "MESSAGE=" + std::string(kLongestJournalValue - 1, 'x') + "\n");
}

TEST(SystemdJournalTest, EntriesReachTheJournalsSocketAndNoJournalIsNoFailure) {
    testing::TempDir dir;
    const std::string path = (dir / "socket").string();
    testing::DatagramReceiver journal(path);
    SystemdJournal(path).Send({{"PRIORITY", "3"}, {"MESSAGE", "Ошибка"}});
    EXPECT_EQ(journal.Receive(2s), "PRIORITY=3\nMESSAGE=Ошибка\n");
    EXPECT_NO_THROW(SystemdJournal((dir / "none").string()).Send({{"MESSAGE", "lost"}}));
}

}  // namespace
}  // namespace kiosk
