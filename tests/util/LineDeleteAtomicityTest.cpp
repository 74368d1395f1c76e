// DeleteLineFromFileEx replaces the file with one rename, so a power cut at
// any moment leaves the old file or the new one, never none. The test cuts
// the power just before that rename.
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "util/FileLineEdit.h"
#include "util/FileTestSupport.h"

namespace {
bool powerCut = false;
}

// The program exports its rename, and libquor.so's calls resolve to it.
extern "C" int rename(char const* from, char const* to) {
    if (powerCut) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace {

TEST(LineDeleteAtomicity, APowerCutAtTheFinalRenameLeavesTheOldFile) {
    testfs::TempDir dir;
    std::string const file = dir / "list.txt";
    testfs::WriteFile(file, "a\nb\n");
    powerCut = true;
    int const result = DeleteLineFromFileEx(file, "a");
    powerCut = false;
    EXPECT_EQ(result, DELETE_LINE_CANNOT_RENAME);
    EXPECT_EQ(testfs::ReadFile(file), "a\nb\n");
    EXPECT_EQ(DeleteLineFromFileEx(file, "a"), 0);
    EXPECT_EQ(testfs::ReadFile(file), "b\n");
}

} // namespace
