#include "os/file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

class FileAccessTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir.str() + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    testing::TempDir dir;
};

TEST_F(FileAccessTest, OnlyRegularFilesAreRead) {
    Write("page.html", "<p>Ж</p>");
    std::string bytes = "old";
    EXPECT_EQ(ReadWholeFile(Path("page.html"), bytes), FileReadStatus::Ok);
    EXPECT_EQ(bytes, "<p>Ж</p>");
    EXPECT_EQ(ReadWholeFile(Path("missing"), bytes), FileReadStatus::CannotOpen);
    EXPECT_EQ(ReadWholeFile(dir.str(), bytes), FileReadStatus::CannotOpen);
    // A FIFO would block an ordinary open until a writer comes.
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileExcludingWriters(Path("fifo"), bytes));
}

TEST_F(FileAccessTest, AWriterShutsOutOtherWritersAndReadersUntilItCloses) {
    Write("log", "");
    std::string bytes;
    {
        ExclusiveFile writer(Path("log"), ExclusiveFile::Mode::OpenExisting);
        EXPECT_TRUE(writer.Append("first\r\n"));
        EXPECT_THROW(ExclusiveFile(Path("log"), ExclusiveFile::Mode::OpenExisting), std::runtime_error);
        EXPECT_EQ(ReadWholeFile(Path("log"), bytes), FileReadStatus::CannotOpen);
    }
    ExclusiveFile again(Path("log"), ExclusiveFile::Mode::OpenExisting);
    EXPECT_TRUE(again.Append("second\r\n"));
    ExclusiveFile moved(std::move(again));
    EXPECT_TRUE(moved.Append("third\r\n"));
}

TEST_F(FileAccessTest, ALockHeldForAMomentIsWaitedFor) {
    Write("page.html", "page");
    std::string bytes;
    auto writer = std::make_unique<ExclusiveFile>(Path("page.html"), ExclusiveFile::Mode::OpenExisting);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writer.reset();
    });
    EXPECT_EQ(ReadWholeFile(Path("page.html"), bytes), FileReadStatus::Ok);
    EXPECT_EQ(bytes, "page");
    release.join();

    auto reader = std::make_unique<ExclusiveFile>(Path("page.html"), ExclusiveFile::Mode::OpenExisting);
    std::thread next([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        reader.reset();
    });
    EXPECT_NO_THROW(ExclusiveFile(Path("page.html"), ExclusiveFile::Mode::OpenExisting));
    next.join();
}

TEST_F(FileAccessTest, OpeningCreatesOrEmptiesOnlyWhenAsked) {
    EXPECT_THROW(ExclusiveFile(Path("new"), ExclusiveFile::Mode::OpenExisting), std::runtime_error);
    Write("old", "kept");
    { ExclusiveFile(Path("old"), ExclusiveFile::Mode::OpenExisting).Append("+more"); }
    std::string bytes;
    ASSERT_TRUE(ReadFileExcludingWriters(Path("old"), bytes));
    EXPECT_EQ(bytes, "kept+more");
    { ExclusiveFile(Path("old"), ExclusiveFile::Mode::CreateEmpty).Append("fresh"); }
    ASSERT_TRUE(ReadFileExcludingWriters(Path("old"), bytes));
    EXPECT_EQ(bytes, "fresh");
    { ExclusiveFile(Path("new"), ExclusiveFile::Mode::CreateEmpty); }
    EXPECT_TRUE(ReadFileExcludingWriters(Path("new"), bytes));
    EXPECT_EQ(bytes, "");
}

}  // namespace
}  // namespace kiosk
