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

    EXPECT_TRUE(utils::file::isFileExisting(dir.Path(), "file.txt"));
    EXPECT_TRUE(utils::file::isFileExisting(dir / "link"));
    EXPECT_FALSE(utils::file::isFileExisting(dir / "dangling"));
    EXPECT_FALSE(utils::file::isFileExisting(dir.Path()));
    EXPECT_FALSE(utils::file::isFileExisting(static_cast<char const*>(nullptr)));
    EXPECT_TRUE(utils::file::isDirectoryExisting(dir.Path()));
    EXPECT_FALSE(utils::file::isDirectoryExisting(file));
}

// Creating an existing file empties it; failures return false and trace the cause.
TEST(FileUtilsCreate, CreatesDirectoriesAndFilesOrTracesWhyNot) {
    TempDir dir;
    std::string const file = dir / "sub/new.txt";
    {
        TraceCapture trace(TRACE_FILE_UTILS);
        EXPECT_TRUE(utils::file::createDirectory((dir / "sub").c_str()));
        EXPECT_TRUE(utils::file::isDirectoryExisting(dir / "sub"));
        EXPECT_TRUE(utils::file::createFile(file.c_str()));
        EXPECT_TRUE(utils::file::isFileExisting(file));
        testfs::WriteFile(file, "old content");
        EXPECT_TRUE(utils::file::createFile(file.c_str()));
        EXPECT_EQ(testfs::ReadFile(file), "");
        EXPECT_EQ(trace.Text(), "");
    }
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_FALSE(utils::file::createDirectory(dir.Path().c_str()));
    std::string const inMissing = dir / "missing/file.txt";
    EXPECT_FALSE(utils::file::createFile(inMissing.c_str()));
    EXPECT_FALSE(utils::file::createDirectory(nullptr));
    EXPECT_THAT(trace.Text(), HasSubstr(FailureText("createDirectory", dir.Path(), EEXIST)));
    EXPECT_THAT(trace.Text(), HasSubstr(FailureText("createFile", inMissing, ENOENT)));
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

// A link is measured itself, not its 4 KiB target.
TEST(FileUtilsSize, CountsWholeKibibytesOfTheEntryItself) {
    TempDir dir;
    for (int size : {0, 1023, 1024, 2048, 4095}) {
        testfs::WriteFile(dir / std::to_string(size), std::string(size, 'x'));
        EXPECT_EQ(utils::file::getSizeOfFile(dir / std::to_string(size)), size / 1024) << size;
    }
    ASSERT_EQ(::symlink((dir / "4095").c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "link"), 0);
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_EQ(utils::file::getSizeOfFile(dir / "missing"), 0);
    EXPECT_THAT(trace.Text(), HasSubstr(FailureText("getSizeOfFile", dir / "missing", ENOENT)));
}

} // namespace
