#include <gtest/gtest.h>

#include <string>

#include "debug/CPwiLog.h"
#include "debug/LogFileFunctions.h"
#include "util/FileTestSupport.h"

namespace {

using testfs::Exists;
using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

TEST(CPwiLogNames, DirectoryGetsOneSlashAndExtensionsLoseOneDot) {
    TempDir dir;
    CPwiLog withDots(dir.Path().c_str(), "trace", 0, ".log", ".bak");
    CPwiLog withoutDots((dir.Path() + "/").c_str(), "trace", 0, "log", "bak");
    for (CPwiLog* log : {&withDots, &withoutDots}) {
        EXPECT_EQ(log->GetLogfileFullName(), dir / "trace.log");
        EXPECT_EQ(log->GetLogfilePath(), dir.Path() + "/");
        EXPECT_STREQ(log->GetLogfileExt(), "log");
        EXPECT_STREQ(log->GetBakfileExt(), "bak");
    }
    CPwiLog twoDots(dir.Path().c_str(), "trace", 0, "..log", "..bak");
    EXPECT_EQ(twoDots.GetLogfileFullName(), dir / "trace..log");
    CPwiLog empty("", "x", 0, "", "b");
    EXPECT_STREQ(empty.GetLogfileFullName(), "/x.");
}

TEST(CPwiLogNames, DirectoryOf499CharactersWithoutSlashIsTooLong) {
    std::string const directory = "/" + std::string(498, 'd');
    CPwiLog log;
    EXPECT_EQ(log.SetFilename(directory.c_str(), "n", "e", "b"), CPwiLog::NAME_TOO_LONG);
    // The slash that does not fit is not written past the directory.
    EXPECT_STREQ(log.GetLogfileExt(), "e");
    // No name is left to open: the log does not write anywhere else instead.
    EXPECT_STREQ(log.GetLogfileFullName(), "");
    EXPECT_EQ(log.OpenLogfile(true), CPwiLog::OPEN_FAILED);
    EXPECT_EQ(log.WriteStringToLogfile("x"), CPwiLog::OPEN_FAILED);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
}

TEST(CPwiLogNames, FullNamesUpTo499CharactersAreAccepted) {
    // directory + name + "." + extension + terminator must fit 500 bytes.
    std::string const directory = "/" + std::string(489, 'd') + "/"; // 491
    CPwiLog log;
    EXPECT_EQ(log.SetFilename(directory.c_str(), "name", "ext", "bak"), 0); // 499
    EXPECT_EQ(std::string(log.GetLogfileFullName()).size(), 499u);
    EXPECT_EQ(log.SetFilename(directory.c_str(), "name", "exte", "bak"), CPwiLog::NAME_TOO_LONG);
    EXPECT_EQ(log.SetFilename(directory.c_str(), "name", "ext", "back"), CPwiLog::NAME_TOO_LONG);
    EXPECT_EQ(log.SetFilename(directory.c_str(), "names", "ext", "bak"), CPwiLog::NAME_TOO_LONG);
    // A directory of 498 characters still gets its slash...
    std::string const noSlash = "/" + std::string(497, 'd');
    EXPECT_EQ(log.SetFilename(noSlash.c_str(), "", "", ""), CPwiLog::NAME_TOO_LONG);
    EXPECT_EQ(std::string(log.GetLogfilePath()), noSlash + "/");
    // ...and texts longer than the fields are refused, not cut into a name.
    std::string const huge(800, 'h');
    EXPECT_EQ(log.SetFilename("/tmp", "n", huge.c_str(), "bak"), CPwiLog::NAME_TOO_LONG);
    EXPECT_STREQ(log.GetLogfileFullName(), "");
}

TEST(CPwiLogSize, TenWritesOfTenCharactersCount120) {
    TempDir dir;
    CPwiLog log(dir.Path().c_str(), "trace", 125, "log", "bak");
    EXPECT_EQ(log.GetCurrentSize(), 0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(log.WriteStringToLogfile("123456789\n"), 0);
    }
    EXPECT_EQ(log.GetCurrentSize(), 120);
    EXPECT_EQ(ReadFile(dir / "trace.log").size(), 100u);
    // 120 + 5 stays within the limit of 125; 120 + 6 would not.
    ASSERT_EQ(log.WriteStringToLogfile("abcd\n"), 0);
    EXPECT_FALSE(Exists(dir / "trace.bak"));
    EXPECT_EQ(log.GetCurrentSize(), 127);
    ASSERT_EQ(log.WriteStringToLogfile("\n"), 0);
    EXPECT_EQ(ReadFile(dir / "trace.bak").size(), 105u);
    EXPECT_EQ(ReadFile(dir / "trace.log"), "\n");
    EXPECT_EQ(log.GetCurrentSize(), 3);
}

TEST(CPwiLogSize, ExistingFileCountsFromItsRealSize) {
    TempDir dir;
    WriteFile(dir / "trace.log", std::string(95, 'o'));
    CPwiLog log(dir.Path().c_str(), "trace", 100, "log", "bak");
    EXPECT_EQ(log.GetCurrentSize(), 95);
    // 95 + 5 is still within the limit...
    ASSERT_EQ(log.WriteStringToLogfile("new!\n"), 0);
    EXPECT_FALSE(Exists(dir / "trace.bak"));
    // ...and the next write starts a new log.
    ASSERT_EQ(log.WriteStringToLogfile("x\n"), 0);
    EXPECT_EQ(ReadFile(dir / "trace.bak"), std::string(95, 'o') + "new!\n");
    EXPECT_EQ(ReadFile(dir / "trace.log"), "x\n");
}

class CPwiLogRotation : public testing::TestWithParam<bool> {};

// Limit 100 and a counted size of 90: a 20-character write moves the log to
// the backup name, replacing the old backup, and starts a new log. The same
// whether the log is kept open or opened for each write.
TEST_P(CPwiLogRotation, WriteBeyondTheLimitReplacesTheBackup) {
    bool const keepOpen = GetParam();
    TempDir dir;
    WriteFile(dir / "trace.bak", "the older backup");
    CPwiLog log(dir.Path().c_str(), "trace", 100, "log", "bak");
    if (keepOpen) {
        ASSERT_EQ(log.OpenLogfile(true), 0);
    }
    std::string const first(83, 'a');
    ASSERT_EQ(log.WriteStringToLogfile((first + "\n").c_str()), 0);
    ASSERT_EQ(log.WriteStringToLogfile("b\n"), 0);
    ASSERT_EQ(log.GetCurrentSize(), 90);
    EXPECT_EQ(ReadFile(dir / "trace.bak"), "the older backup");

    std::string const twenty = std::string(19, 'c') + "\n";
    ASSERT_EQ(log.WriteStringToLogfile(twenty.c_str()), 0);
    EXPECT_EQ(log.GetState(), keepOpen ? CPwiLog::STATE_OPEN : CPwiLog::STATE_CLOSED);
    EXPECT_EQ(log.GetCurrentSize(), 22);
    ASSERT_EQ(log.CloseLogfile(true), 0);
    EXPECT_EQ(ReadFile(dir / "trace.bak"), first + "\nb\n");
    EXPECT_EQ(ReadFile(dir / "trace.log"), twenty);
}

INSTANTIATE_TEST_SUITE_P(OpenAndClosed, CPwiLogRotation, testing::Bool(),
                         [](testing::TestParamInfo<bool> const& info) {
                             return info.param ? "KeptOpen" : "OpenedPerWrite";
                         });

TEST(CPwiLogStates, OpenLogBuffersAndCloseWritesOut) {
    TempDir dir;
    CPwiLog log(dir.Path().c_str(), "trace", 0, "log", "bak");
    EXPECT_FALSE(log.LogfileExists());
    ASSERT_EQ(log.OpenLogfile(true), 0);
    EXPECT_TRUE(log.LogfileExists());
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_OPEN);
    // Opening an open log changes nothing.
    EXPECT_EQ(log.OpenLogfile(true), 0);
    ASSERT_EQ(log.WriteStringToLogfile("buffered\n"), 0);
    EXPECT_EQ(ReadFile(dir / "trace.log"), "");
    ASSERT_EQ(log.CloseLogfile(true), 0);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_CLOSED);
    EXPECT_EQ(ReadFile(dir / "trace.log"), "buffered\n");
    EXPECT_EQ(log.CloseLogfile(true), 0);
    // A closed log writes each text through at once.
    ASSERT_EQ(log.WriteStringToLogfile("direct\n"), 0);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_CLOSED);
    EXPECT_EQ(ReadFile(dir / "trace.log"), "buffered\ndirect\n");
}

TEST(CPwiLogDelete, RemovesLogAndBackup) {
    TempDir dir;
    CPwiLog log(dir.Path().c_str(), "trace", 10, "log", "bak");
    ASSERT_EQ(log.OpenLogfile(true), 0);
    ASSERT_EQ(log.WriteStringToLogfile("0123456789\n"), 0);
    ASSERT_EQ(log.WriteStringToLogfile("abc\n"), 0);
    ASSERT_TRUE(Exists(dir / "trace.bak"));
    EXPECT_EQ(log.DeleteLogfile(true), 0);
    EXPECT_FALSE(Exists(dir / "trace.log"));
    EXPECT_FALSE(Exists(dir / "trace.bak"));
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_CLOSED);
    // The log starts afresh.
    EXPECT_EQ(log.GetCurrentSize(), 0);
    ASSERT_EQ(log.WriteStringToLogfile("again\n"), 0);
    EXPECT_EQ(ReadFile(dir / "trace.log"), "again\n");
}

} // namespace
