#include <sys/swap.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "util/FileTestSupport.h"
#include "util/FileUtils.h"

namespace {

using testfs::TempDir;
using testing::HasSubstr;

std::string FailureText(char const* function, std::string const& path, int error) {
    return std::string(function) + "() failed on '" + path + "'! errno: " + std::strerror(error) +
           "\n";
}

TEST(FileUtilsExistence, RegularFilesAndDirectoriesAreToldApart) {
    TempDir dir;
    std::string const file = dir / "file.txt";
    testfs::WriteFile(file, "x");
    ASSERT_EQ(::symlink(file.c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "missing").c_str(), (dir / "dangling").c_str()), 0);

    EXPECT_TRUE(utils::file::isFileExisting(file));
    EXPECT_TRUE(utils::file::isFileExisting(file.c_str()));
    EXPECT_TRUE(utils::file::isFileExisting(dir.Path(), "file.txt"));
    EXPECT_TRUE(utils::file::isFileExisting(dir / "link"));
    EXPECT_FALSE(utils::file::isFileExisting(dir / "dangling"));
    EXPECT_FALSE(utils::file::isFileExisting(dir / "missing"));
    EXPECT_FALSE(utils::file::isFileExisting(dir.Path()));
    EXPECT_FALSE(utils::file::isFileExisting("/dev/null"));
    EXPECT_FALSE(utils::file::isFileExisting(static_cast<char const*>(nullptr)));

    EXPECT_TRUE(utils::file::isDirectoryExisting(dir.Path()));
    EXPECT_TRUE(utils::file::isDirectoryExisting("/"));
    EXPECT_FALSE(utils::file::isDirectoryExisting(file));
    EXPECT_FALSE(utils::file::isDirectoryExisting(dir / "missing"));
    EXPECT_FALSE(utils::file::isDirectoryExisting(""));
}

TEST(FileUtilsCreate, CreatesDirectoriesAndFiles) {
    TempDir dir;
    TraceCapture trace(TRACE_FILE_UTILS);
    std::string const sub = dir / "sub";
    EXPECT_TRUE(utils::file::createDirectory(sub.c_str()));
    EXPECT_TRUE(utils::file::isDirectoryExisting(sub));

    std::string const file = sub + "/new.txt";
    EXPECT_TRUE(utils::file::createFile(file.c_str()));
    EXPECT_TRUE(utils::file::isFileExisting(file));
    // Creating an existing file empties it.
    testfs::WriteFile(file, "old content");
    EXPECT_TRUE(utils::file::createFile(file.c_str()));
    EXPECT_EQ(testfs::ReadFile(file), "");
    EXPECT_EQ(trace.Text(), "");
}

TEST(FileUtilsCreate, FailuresReturnFalseAndTraceTheCause) {
    TempDir dir;
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_FALSE(utils::file::createDirectory(dir.Path().c_str()));
    std::string const inMissing = dir / "missing/file.txt";
    EXPECT_FALSE(utils::file::createFile(inMissing.c_str()));
    EXPECT_FALSE(utils::file::createDirectory(nullptr));
    std::string const& text = trace.Text();
    EXPECT_THAT(text, HasSubstr(FailureText("createDirectory", dir.Path(), EEXIST)));
    EXPECT_THAT(text, HasSubstr(FailureText("createFile", inMissing, ENOENT)));
}

TEST(FileUtilsRemove, RemovesFilesAndEmptyDirectoriesOnly) {
    TempDir dir;
    testfs::WriteFile(dir / "f", "x");
    ASSERT_EQ(::mkdir((dir / "empty").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((dir / "full").c_str(), 0700), 0);
    testfs::WriteFile(dir / "full/f", "x");

    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_TRUE(utils::file::remove(dir / "f"));
    EXPECT_FALSE(testfs::Exists(dir / "f"));
    EXPECT_TRUE(utils::file::remove(dir / "empty"));
    EXPECT_FALSE(utils::file::remove(dir / "full"));
    EXPECT_TRUE(testfs::Exists(dir / "full/f"));
    EXPECT_FALSE(utils::file::remove(dir / "f"));
    std::string const& text = trace.Text();
    EXPECT_THAT(text, HasSubstr(FailureText("remove", dir / "full", ENOTEMPTY)));
    EXPECT_THAT(text, HasSubstr(FailureText("remove", dir / "f", ENOENT)));
}

TEST(FileUtilsSize, CountsWholeKibibytesOfTheEntryItself) {
    TempDir dir;
    testfs::WriteFile(dir / "1023", std::string(1023, 'x'));
    testfs::WriteFile(dir / "1024", std::string(1024, 'x'));
    testfs::WriteFile(dir / "2048", std::string(2048, 'x'));
    testfs::WriteFile(dir / "4095", std::string(4095, 'x'));
    testfs::WriteFile(dir / "empty", "");
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "1023"), 0);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "1024"), 1);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "2048"), 2);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "4095"), 3);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "empty"), 0);
    // A link is measured itself, not its 4 KiB target.
    ASSERT_EQ(::symlink((dir / "4095").c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "link"), 0);

    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "missing"), 0);
    EXPECT_THAT(trace.Text(), HasSubstr(FailureText("getSizeOfFile", dir / "missing", ENOENT)));
}

// Neither call may touch the machine's real swap: both get a plain file that
// is no swap area, which fails as root too.
TEST(FileUtilsSwap, SwapOnANonSwapFileFailsWithAnErrorTrace) {
    TempDir dir;
    std::string const file = dir / "noswap";
    testfs::WriteFile(file, std::string(65536, '\0'));
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_FALSE(utils::file::swapon(file, 0));
    EXPECT_THAT(trace.Text(), HasSubstr("swapon() failed on '" + file + "'! errno: "));
}

TEST(FileUtilsSwap, SwapOffOfANonSwapAreaIsOnlyANote) {
    TempDir dir;
    std::string const file = dir / "noswap";
    testfs::WriteFile(file, "x");
    std::string notes;
    {
        TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_DEBUG);
        EXPECT_FALSE(utils::file::swapoff(file));
        notes = trace.Text();
    }
    ASSERT_THAT(notes, HasSubstr("swapoff() failed on '" + file + "'! errno: "));
    std::string aboveNotes;
    {
        TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_DEBUG + 1);
        EXPECT_FALSE(utils::file::swapoff(file));
        aboveNotes = trace.Text();
    }
    // As root the kernel answers EINVAL (not a swap area): a note. Without the
    // right to swap it answers EPERM, which is an error.
    if (notes.find(std::strerror(EINVAL)) != std::string::npos) {
        EXPECT_EQ(aboveNotes, "");
    } else {
        EXPECT_THAT(aboveNotes, HasSubstr("swapoff() failed"));
    }
}

} // namespace
