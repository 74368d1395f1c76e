#include <dirent.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "util/FileTestSupport.h"
#include "util/PathUtils.h"

namespace {

using testfs::TempDir;

TEST(TunePath, StripsWhitespaceAndEndsInOneSlash) {
    struct Case {
        char const* input;
        char const* tuned;
        int length;
    };
    for (Case const& c : {Case{"  /mnt/usb \t", "/mnt/usb/", 8}, Case{"/mnt/usb/", "/mnt/usb/", 9},
                          Case{"", "/", 0}, Case{" \t ", "/", 0}, Case{"/", "/", 1},
                          Case{"\t/a b/c\r\n", "/a b/c/", 6}}) {
        std::string path = c.input;
        EXPECT_EQ(TunePathString(&path), c.length) << '"' << c.input << '"';
        EXPECT_EQ(path, c.tuned) << '"' << c.input << '"';

        char buffer[64];
        std::strcpy(buffer, c.input);
        EXPECT_EQ(TunePathCharString(buffer), c.length) << '"' << c.input << '"';
        EXPECT_STREQ(buffer, c.tuned) << '"' << c.input << '"';
    }
    EXPECT_EQ(TunePathString(nullptr), 0);
    EXPECT_EQ(TunePathCharString(nullptr), 0);
}

TEST(TunePath, CharFormUsesAllOfAnExactlySizedBuffer) {
    // "abc" plus the slash and the terminator: five bytes, no more.
    char* const buffer = new char[5];
    std::strcpy(buffer, "abc");
    EXPECT_EQ(TunePathCharString(buffer), 3);
    EXPECT_STREQ(buffer, "abc/");
    delete[] buffer;
}

TEST(FullnameSplit, FileAndPathPartsAroundTheLastSlash) {
    struct Case {
        char const* full;
        char const* file;
        char const* path;
    };
    for (Case const& c : {Case{"/a/b/c.txt", "c.txt", "/a/b/"}, Case{"c.txt", "c.txt", ""},
                          Case{"/a/b/", "", "/a/b/"}, Case{"/", "", "/"}, Case{"", "", ""},
                          Case{"rel/x", "x", "rel/"}}) {
        std::string const full = c.full;
        std::string file = "stale";
        std::string path = "stale";
        GetFilenameFromFullname(&full, &file);
        GetPathnameFromFullname(&full, &path);
        EXPECT_EQ(file, c.file) << c.full;
        EXPECT_EQ(path, c.path) << c.full;
    }
    std::string untouched = "kept";
    GetFilenameFromFullname(nullptr, &untouched);
    GetPathnameFromFullname(nullptr, &untouched);
    EXPECT_EQ(untouched, "kept");
}

// The directory name is tuned; without nameOut the file is made all the same.
TEST(OpenTempFile, CreatesAUniqueWritableFileInTheDirectory) {
    TempDir dir;
    std::set<std::string> names;
    for (std::string const& directory : {dir.Path(), "  " + dir.Path() + "/ \t", dir.Path()}) {
        std::string name;
        std::FILE* const file = OpenTempFile(directory.c_str(), &name, "w+");
        ASSERT_NE(file, nullptr);
        EXPECT_THAT(name, testing::MatchesRegex(dir.Path() + "/_QuorTemp\\.[A-Za-z0-9]{6}"));
        EXPECT_EQ(std::fputs("content", file), 1);
        EXPECT_EQ(std::fclose(file), 0);
        EXPECT_EQ(testfs::ReadFile(name), "content");
        names.insert(name);
    }
    std::FILE* const unnamed = OpenTempFile(dir.Path().c_str(), nullptr, "w");
    ASSERT_NE(unnamed, nullptr);
    std::fclose(unnamed);
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(testfs::EntryCount(dir.Path()), 4);
}

// fdopen refuses a bad mode after mkstemp made the file: it is removed again.
// Names past the limit are refused before the file system sees them; the
// lengths around the 4100-byte name buffer check that tuning (which adds a
// slash) and the appended template stay inside it.
TEST(OpenTempFile, FailuresLeaveNoFileBehind) {
    TempDir dir;
    std::vector<std::string> refused = {dir / "missing", dir.Path()};
    for (std::size_t length : {4081u, 4097u, 4098u, 4099u, 4100u, 10000u}) {
        refused.push_back("/" + std::string(length - 1, 'd'));
    }
    for (std::string const& directory : refused) {
        std::string name = "untouched";
        char const* const mode = directory == dir.Path() ? "not a mode" : "w";
        EXPECT_EQ(OpenTempFile(directory.c_str(), &name, mode), nullptr) << directory.size();
        EXPECT_EQ(name, "untouched");
    }
    EXPECT_EQ(OpenTempFile(nullptr, nullptr, "w"), nullptr);
    EXPECT_EQ(testfs::EntryCount(dir.Path()), 0);
}

} // namespace
