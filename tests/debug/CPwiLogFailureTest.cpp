#include <sys/mount.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "debug/CPwiLog.h"
#include "util/FileTestSupport.h"

// Failures of the medium under a log: a full device or file system, a
// directory that cannot hold files, a backup that cannot be replaced. Every
// one disables the log with its code; later writes are dropped, and naming
// the log again brings it back.

namespace {

using testfs::Exists;
using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

// A log whose file is /dev/full, reached through a link in dir.
void LinkToDevFull(TempDir const& dir) {
    ASSERT_EQ(::symlink("/dev/full", (dir / "trace.log").c_str()), 0);
}

TEST(CPwiLogMediumFull, OpenLogFailsWhenItsBufferIsWrittenOut) {
    TempDir dir;
    LinkToDevFull(dir);
    CPwiLog log(dir.Path().c_str(), "trace", 0, "log", "bak");
    ASSERT_EQ(log.OpenLogfile(true), 0);
    // Short texts stay in the stream's buffer; one larger than the buffer
    // reaches the device.
    ASSERT_EQ(log.WriteStringToLogfile("short\n"), 0);
    std::string const large(20000, 'x');
    EXPECT_EQ(log.WriteStringToLogfile(large.c_str()), CPwiLog::WRITE_FAILED);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
    long const counted = log.GetCurrentSize();

    // From now on writes are dropped without a word, and nothing is counted.
    EXPECT_EQ(log.WriteStringToLogfile(large.c_str()), 0);
    EXPECT_EQ(log.WriteStringToLogfile("ignored\n"), 0);
    EXPECT_EQ(log.GetCurrentSize(), counted);
    EXPECT_EQ(log.OpenLogfile(true), 0);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
    EXPECT_EQ(log.CloseLogfile(true), 0);
}

// The text fits the stream's buffer; the close of a closed log must write
// it out and cannot.
TEST(CPwiLogMediumFull, ClosedLogFailsOnItsCloseUntilNamedAgain) {
    TempDir dir;
    LinkToDevFull(dir);
    CPwiLog log(dir.Path().c_str(), "trace", 0, "log", "bak");
    EXPECT_EQ(log.WriteStringToLogfile("line\n"), CPwiLog::CLOSE_FAILED);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
    EXPECT_EQ(log.WriteStringToLogfile("line\n"), 0);
    ASSERT_EQ(log.SetFilename(dir.Path().c_str(), "healthy", "log", "bak"), 0);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_CLOSED);
    EXPECT_EQ(log.WriteStringToLogfile("written\n"), 0);
    EXPECT_EQ(ReadFile(dir / "healthy.log"), "written\n");
}

// Root ignores permission bits, so an unwritable directory here is one that
// cannot exist: a directory below a regular file. No one can open a file in
// it, root included.
TEST(CPwiLogUnwritable, DirectoryBelowAFileCannotBeOpened) {
    TempDir dir;
    WriteFile(dir / "plain", "a file, not a directory");
    std::string const impossible = dir / "plain/logs";
    CPwiLog log(impossible.c_str(), "trace", 0, "log", "bak");
    EXPECT_EQ(log.OpenLogfile(true), CPwiLog::OPEN_FAILED);
    // A failed open leaves the log closed...
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_CLOSED);
    // ...a failed write disables it.
    EXPECT_EQ(log.WriteStringToLogfile("line\n"), CPwiLog::OPEN_FAILED);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
    EXPECT_EQ(log.WriteStringToLogfile("line\n"), 0);
}

// A read-only mount holds for root too.
TEST(CPwiLogUnwritable, ReadOnlyMediumRefusesLogAndRotation) {
    if (!testfs::EnterPrivateMountNamespace()) {
        GTEST_SKIP() << "a read-only mount needs root";
    }
    TempDir dir;
    WriteFile(dir / "trace.log", std::string(50, 'o'));
    WriteFile(dir / "trace.bak", "older");
    testfs::ScopedMount const bind(dir.Path().c_str(), dir.Path(), nullptr, MS_BIND, nullptr);
    ASSERT_TRUE(bind.Mounted());
    ASSERT_EQ(
        ::mount(nullptr, dir.Path().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
        0);

    CPwiLog open(dir.Path().c_str(), "trace", 0, "log", "bak");
    EXPECT_EQ(open.OpenLogfile(true), CPwiLog::OPEN_FAILED);
    EXPECT_EQ(open.WriteStringToLogfile("line\n"), CPwiLog::OPEN_FAILED);

    // Rotation first has to remove the old backup.
    CPwiLog rotating(dir.Path().c_str(), "trace", 60, "log", "bak");
    EXPECT_EQ(rotating.WriteStringToLogfile("0123456789\n"), CPwiLog::BACKUP_REMOVE_FAILED);
    EXPECT_EQ(rotating.GetState(), CPwiLog::STATE_FAILED);
    EXPECT_EQ(ReadFile(dir / "trace.bak"), "older");
    EXPECT_EQ(ReadFile(dir / "trace.log"), std::string(50, 'o'));
}

// A directory in the backup's place cannot be replaced by the log.
TEST(CPwiLogRotationFailure, BackupNameTakenByADirectory) {
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "trace.bak").c_str(), 0700), 0);
    WriteFile(dir / "trace.bak/inside", "x");
    CPwiLog log(dir.Path().c_str(), "trace", 20, "log", "bak");
    ASSERT_EQ(log.OpenLogfile(true), 0);
    ASSERT_EQ(log.WriteStringToLogfile("0123456789\n"), 0);
    EXPECT_EQ(log.WriteStringToLogfile("0123456789\n"), CPwiLog::RENAME_FAILED);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
    // The log was closed for the rotation: its text is on the medium.
    EXPECT_EQ(ReadFile(dir / "trace.log"), "0123456789\n");
    EXPECT_EQ(log.WriteStringToLogfile("dropped\n"), 0);
    EXPECT_EQ(ReadFile(dir / "trace.log"), "0123456789\n");
}

} // namespace
