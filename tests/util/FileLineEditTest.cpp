#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "util/FileLineEdit.h"
#include "util/FileTestSupport.h"

namespace {

using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;
using testing::HasSubstr;

// Each row: the file before (nullptr: missing), the line, whether a present
// line is skipped, and the file after.
TEST(AppendLine, EndingsTrailingBlanksAndPresentLines) {
    struct Case {
        char const* before;
        char const* line;
        bool skipPresent;
        char const* after;
    } const cases[] = {
        {nullptr, "first", true, "first\n"},
        {"", "first", false, "first\n"},
        {"a\nb\n", "c", false, "a\nb\nc\n"},
        {"a\r\nb\r\n", "c", false, "a\r\nb\r\nc\r\n"},
        {"a\nb\r\n", "c", true, "a\nb\r\nc\n"}, // only the first line decides
        {"a\nb", "c", true, "a\nb\nc\n"},       // an open last line is ended first
        {"a\r\nb", "c", false, "a\r\nb\r\nc\r\n"},
        {"a\n", "a", false, "a\na\n"},
        {"alpha \t\r\nbeta  \r\n", "alpha", true, "alpha \t\r\nbeta  \r\n"},
        {"alpha \t\r\nbeta  \r\n", "beta", true, "alpha \t\r\nbeta  \r\n"},
        {"beta\r\n", " beta", true, "beta\r\n beta\r\n"}, // leading blanks differ
    };
    for (Case const& c : cases) {
        TempDir dir;
        if (c.before != nullptr) {
            WriteFile(dir / "list.txt", c.before);
        }
        EXPECT_EQ(AppendLineToFileEx(dir / "list.txt", c.line, c.skipPresent), 0) << c.line;
        EXPECT_EQ(ReadFile(dir / "list.txt"), c.after) << (c.before ? c.before : "(missing)");
    }
}

TEST(AppendLine, LinesLongerThanTheReadBufferAreComparedPieceByPiece) {
    TempDir dir;
    // The ending is taken from the first piece read (4099 characters): a
    // longer first line shows none, so the file counts as a "\n" file.
    std::string const longLine(5000, 'x');
    WriteFile(dir / "crlf.txt", longLine + "\r\nshort\r\n");
    EXPECT_EQ(AppendLineToFileEx(dir / "crlf.txt", "new", false), 0);
    EXPECT_EQ(ReadFile(dir / "crlf.txt"), longLine + "\r\nshort\r\n" + "new\n");

    std::string const tail(901, 'y');
    std::string const content = std::string(4099, 'x') + tail + "\nshort\n";
    WriteFile(dir / "long.txt", content);
    EXPECT_EQ(AppendLineToFileEx(dir / "long.txt", "short", true), 0);
    EXPECT_EQ(AppendLineToFileEx(dir / "long.txt", tail, true), 0);
    EXPECT_EQ(ReadFile(dir / "long.txt"), content);
    EXPECT_EQ(AppendLineToFileEx(dir / "long.txt", longLine, true), 0);
    EXPECT_EQ(ReadFile(dir / "long.txt"), content + longLine + "\n");
}

// Each row: the file before (nullptr: missing), the line, and the file after;
// no temporary copy is left behind.
TEST(DeleteLine, EqualLinesGoKeptLinesLoseTrailingBlanksAndTakeTheFirstEnding) {
    struct Case {
        char const* before;
        char const* line;
        char const* after;
    } const cases[] = {
        {"a\nb\na  \nc\na\t\na\n", "a", "b\nc\n"},
        {"b\nc\n", "missing", "b\nc\n"},
        {"x \t\r\ndrop\r\ny\nz", "drop", "x\r\ny\r\nz\r\n"},
        {"drop\ny \r\n\n  z\n", "drop", "y\n\n  z\n"},
        {"", "a", ""},
        {nullptr, "a", nullptr},
    };
    for (Case const& c : cases) {
        TempDir dir;
        if (c.before != nullptr) {
            WriteFile(dir / "list.txt", c.before);
        }
        EXPECT_EQ(DeleteLineFromFileEx(dir / "list.txt", c.line), 0) << c.line;
        if (c.after == nullptr) {
            EXPECT_FALSE(testfs::Exists(dir / "list.txt"));
        } else {
            EXPECT_EQ(ReadFile(dir / "list.txt"), c.after) << c.before;
        }
        EXPECT_EQ(testfs::EntryCount(dir.Path()), c.after == nullptr ? 0 : 1) << c.line;
    }
}

TEST(DeleteLine, LongLinesAreRewrittenAsTheirPieces) {
    TempDir dir;
    std::string const first(4099, 'a');
    std::string const rest(1000, 'b');
    WriteFile(dir / "long.txt", "drop\n" + first + rest + "\ndrop\n");
    EXPECT_EQ(DeleteLineFromFileEx(dir / "long.txt", "drop"), 0);
    // Every character survives; the piece boundary becomes a line break.
    EXPECT_EQ(ReadFile(dir / "long.txt"), first + "\n" + rest + "\n");
    // A piece equal to the line is deleted like a line.
    EXPECT_EQ(DeleteLineFromFileEx(dir / "long.txt", rest), 0);
    EXPECT_EQ(ReadFile(dir / "long.txt"), first + "\n");
    // A line that fills the read buffer exactly stays one line, however
    // often the file is rewritten.
    EXPECT_EQ(DeleteLineFromFileEx(dir / "long.txt", "drop"), 0);
    EXPECT_EQ(DeleteLineFromFileEx(dir / "long.txt", ""), 0);
    EXPECT_EQ(ReadFile(dir / "long.txt"), first + "\n");
    WriteFile(dir / "crlf.txt", "a\r\n" + std::string(4098, 'c') + "\r\n");
    EXPECT_EQ(DeleteLineFromFileEx(dir / "crlf.txt", "a"), 0);
    EXPECT_EQ(ReadFile(dir / "crlf.txt"), std::string(4098, 'c') + "\r\n");
}

TEST(DeleteLine, KeepsTheFilesModeAndWorksOnABareName) {
    TempDir dir;
    WriteFile(dir / "list.txt", "a\nb\n");
    ASSERT_EQ(::chmod((dir / "list.txt").c_str(), 0640), 0);
    // A name without a directory lies in the current directory, and so does
    // the temporary copy.
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    int const result = DeleteLineFromFileEx("list.txt", "a");
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir / "list.txt"), "b\n");
    EXPECT_EQ(testfs::ModeOf(dir / "list.txt"), 0640u);
    EXPECT_EQ(testfs::EntryCount(dir.Path()), 1);
}

// The permission failures run as an unprivileged user: root may read and
// write any file whatever its mode. Present lines need no write; a new line
// or a new file does.
TEST(LineEditFailures, UnreadableAndReadOnlyFilesGiveTheirCodes) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    std::string const secret = dir / "secret.txt";
    std::string const readOnly = dir / "readonly.txt";
    WriteFile(secret, "a\n");
    WriteFile(readOnly, "a\n");
    ASSERT_EQ(::chmod(secret.c_str(), 0), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    std::string const result = testfs::RunUnprivileged([&] {
        TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
        std::string codes;
        for (int code :
             {AppendLineToFileEx(secret, "b", true), DeleteLineFromFileEx(secret, "a"),
              AppendLineToFileEx(readOnly, "a", true), AppendLineToFileEx(readOnly, "b", true),
              AppendLineToFileEx(dir / "missing.txt", "b", true)}) {
            codes += std::to_string(code) + ",";
        }
        return codes + "|" + trace.Text();
    });
    EXPECT_THAT(result, testing::StartsWith("-2407,-2413,0,-2408,-2408,|"));
    EXPECT_THAT(result, HasSubstr("AppendLineToFileEx() failed on '" + secret + "'"));
    EXPECT_THAT(result, HasSubstr("DeleteLineFromFileEx() failed on '" + secret + "'"));
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(secret), "a\n");
    EXPECT_EQ(ReadFile(readOnly), "a\n");
}

// A medium too full for the rewritten copy: the file must stay as it was.
TEST(LineEditFailures, FullMediumLeavesTheFileUnchanged) {
    if (!testfs::EnterPrivateMountNamespace()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    TempDir dir;
    testfs::ScopedMount const small("none", dir.Path(), "tmpfs", 0, "size=64k");
    ASSERT_TRUE(small.Mounted());
    std::string const file = dir / "list.txt";
    std::string content;
    for (int i = 0; i < 1000; ++i) {
        content += "line " + std::to_string(i) + "\n";
    }
    // Whole pages, so that not even a short line fits in the file's last one.
    content += std::string(12288 - content.size() - 1, 'p') + "\n";
    WriteFile(file, content);
    // Fill the rest of the file system.
    {
        std::FILE* const filler = std::fopen((dir / "filler").c_str(), "w");
        ASSERT_NE(filler, nullptr);
        std::string const block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    EXPECT_EQ(DeleteLineFromFileEx(file, "line 7"), 0);
    EXPECT_EQ(ReadFile(file), content);
    EXPECT_EQ(testfs::EntryCount(dir.Path()), 2);
    EXPECT_EQ(AppendLineToFileEx(file, "one more", false), APPEND_LINE_CANNOT_APPEND);
}

} // namespace
