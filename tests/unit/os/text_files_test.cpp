#include "os/text_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(TextFilesTest, WritesAppendsAndOverwrites) {
    TempDir dir;
    EXPECT_EQ(WriteTextFile("f.txt", true, "one\n", dir.str()), "");  // append creates the file
    EXPECT_EQ(WriteTextFile("f.txt", true, "two\n", dir.str()), "");
    EXPECT_EQ(ReadFile(dir / "f.txt"), "one\ntwo\n");
    EXPECT_EQ(WriteTextFile("f.txt", false, "3", dir.str()), "");  // shorter than before
    EXPECT_EQ(ReadFile(dir / "f.txt"), "3");
    std::string content;
    EXPECT_EQ(ReadTextFile("f.txt", content, dir.str()), "");
    EXPECT_EQ(content, "3");
    EXPECT_EQ(WriteTextFile((dir / "abs.txt").string(), false, "x", "/nonexistent"), "");
    EXPECT_EQ(ReadFile(dir / "abs.txt"), "x");
}

TEST(TextFilesTest, FilesThatCannotBeOpenedThrow) {
    TempDir dir;
    std::string content;
    EXPECT_THROW(WriteTextFile("no/such/dir.txt", false, "x", dir.str()), std::runtime_error);
    EXPECT_THROW(WriteTextFile("no/such/dir.txt", true, "x", dir.str()), std::runtime_error);
    EXPECT_THROW(ReadTextFile("missing.txt", content, dir.str()), std::runtime_error);
    EXPECT_THROW(ReadTextFile(".", content, dir.str()), std::runtime_error);  // a directory
}

TEST(TextFilesTest, AFailedWriteGivesTheMessage) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/full", dir / "full");
    EXPECT_EQ(WriteTextFile("full", false, "x", dir.str()), "Файл: full - Ошибка записи");
    EXPECT_EQ(WriteTextFile("full", true, "x", dir.str()), "Файл: full - Ошибка записи");
}

TEST(TextFilesTest, ConcurrentAppendsKeepLinesWhole) {
    TempDir dir;
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&dir, t] {
            const std::string line = std::string(500, static_cast<char>('a' + t)) + "\n";
            for (int i = 0; i < kLines; ++i) WriteTextFile("log.txt", true, line, dir.str());
        });
    }
    for (auto& thread : threads) thread.join();
    std::istringstream lines(ReadFile(dir / "log.txt"));
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        ASSERT_EQ(line, std::string(500, line[0]));
    }
    EXPECT_EQ(count, kThreads * kLines);
}

TEST(ReplaceFileAtomicallyTest, TheFileIsReplacedWholeAndAFailureIsToldWithoutLeavingATemporaryFile) {
    TempDir dir;
    const std::string path = (dir / "file.txt").string();
    EXPECT_EQ(ReplaceFileAtomically(path, "first\n"), "");
    EXPECT_EQ(ReplaceFileAtomically(path, "second\n"), "");
    EXPECT_EQ(ReadFile(path), "second\n");
    const std::string missing = (dir / "no folder" / "file.txt").string();
    EXPECT_EQ(ReplaceFileAtomically(missing, "x"), "Невозможно записать файл " + missing);
    std::filesystem::create_directory(dir / "taken");
    EXPECT_NE(ReplaceFileAtomically((dir / "taken").string(), "x"), "");  // a folder is in the way
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2);  // file.txt and the folder: no temporary file left
}

}  // namespace
}  // namespace kiosk
