#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "util/CFileUtilities.h"
#include "util/FileTestSupport.h"

namespace {

using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;
using testing::HasSubstr;

// A large file of every byte value replaces a longer target; an empty file
// creates a missing one; a read-only target is made writable first; a copy
// onto itself keeps the file.
TEST(CopyAFile, CopiesEveryByteAndReplacesCreatesOrKeepsTheTarget) {
    TempDir source;
    TempDir dir;
    std::mt19937 random(7);
    std::string content;
    for (int i = 0; i < 300000; ++i) {
        content += static_cast<char>(i < 256 ? i : random());
    }
    WriteFile(source / "cfg.bin", content);
    WriteFile(dir / "cfg.bin", std::string(400000, 'o'));
    WriteFile(dir / "empty", "");
    WriteFile(dir / "new.cfg", "new settings");
    WriteFile(dir / "old.cfg", "old settings, longer than the new ones");
    ASSERT_EQ(::chmod((dir / "old.cfg").c_str(), 0444), 0);
    CFileUtilities utilities;
    TraceCapture trace(TRACE_FILE_UTILS);
    EXPECT_EQ(utilities.CopyAFile(source.Path(), "cfg.bin", dir.Path(), "cfg.bin"), 0);
    EXPECT_EQ(utilities.CopyAFile(dir.Path(), "empty", dir.Path(), "copy"), 0);
    EXPECT_EQ(utilities.CopyAFile(dir.Path(), "new.cfg", dir.Path(), "old.cfg"), 0);
    EXPECT_EQ(utilities.CopyAFile(dir.Path(), "new.cfg", dir.Path() + "/.", "new.cfg"), 0);
    EXPECT_EQ(ReadFile(dir / "cfg.bin"), content);
    EXPECT_EQ(ReadFile(source / "cfg.bin"), content);
    EXPECT_TRUE(testfs::Exists(dir / "copy"));
    EXPECT_EQ(ReadFile(dir / "copy"), "");
    EXPECT_EQ(ReadFile(dir / "old.cfg"), "new settings");
    EXPECT_EQ(testfs::ModeOf(dir / "old.cfg"), 0600u);
    EXPECT_EQ(ReadFile(dir / "new.cfg"), "new settings");
    EXPECT_EQ(trace.Text(), "");
}

// Each row: the source, the target, the code and the trace; the target stays.
TEST(CopyAFile, MissingSourceAndUnopenableOrFullTargetGiveTheirCodes) {
    TempDir dir;
    WriteFile(dir / "source", std::string(10000, 's'));
    WriteFile(dir / "target", "untouched");
    struct Case {
        std::string sourceDir, source, targetDir, target;
        int code;
        std::string trace;
    } const cases[] = {
        {dir.Path(), "missing", dir.Path(), "target", -2405,
         "ERROR: Config source file cannot be opened:\n" + (dir / "missing") + " ! why?\n"},
        {dir.Path(), "source", dir / "missing", "target", -2406,
         "ERROR: Config target file cannot be opened:\n" + (dir / "missing/target") +
             " ! why (missing Linux rights)?\n"},
        {dir.Path(), "source", "/dev", "full", -2406,
         "ERROR: Config target file cannot be written:\n/dev/full"},
    };
    for (Case const& c : cases) {
        TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
        EXPECT_EQ(CFileUtilities().CopyAFile(c.sourceDir, c.source, c.targetDir, c.target), c.code);
        EXPECT_THAT(trace.Text(), HasSubstr(c.trace));
    }
    EXPECT_EQ(ReadFile(dir / "target"), "untouched");
}

// The helpers name a fixed device and mount point. They run without root's
// rights here, so that they can never mount a real stick over /tmp: mounting
// and unmounting are then refused (EPERM).
TEST(UsbStickMount, RefusedWithoutRootsRights) {
    std::string const result = testfs::RunUnprivileged([] {
        TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
        CFileUtilities utilities;
        int const mounted = utilities.MountQxUsbStick();
        int const unmounted = utilities.UmountQxUsbStick();
        return std::to_string(mounted) + "," + std::to_string(unmounted) + "|" + trace.Text();
    });
    EXPECT_THAT(result, testing::StartsWith("-1,-1|"));
    EXPECT_THAT(result, HasSubstr("ERROR: mount of USB stick failed, errno = 1\n"));
    EXPECT_THAT(result, HasSubstr("ERROR: unmount of USB stick failed, errno = 1\n"));
}

} // namespace
