#include <signal.h>
#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "util/FileTestSupport.h"
#include "util/SystemUtils.h"

namespace {

using testfs::TempDir;
using testing::HasSubstr;

// The command runs through the shell, with an empty environment, and is
// waited for; its failing is no failure of call_spawn itself.
TEST(CallSpawn, ReportsTheCommandsExitStatus) {
    TempDir dir;
    std::string const file = dir / "out.txt";
    ASSERT_EQ(::setenv("QUOR_SPAWN_PROBE", "visible", 1), 0);
    TraceCapture trace(TRACE_FILE_UTILS);
    for (char const* command : {"exit 1", "exit 255", "/quor/no/such/command", "kill -9 $$",
                                "test -n \"$QUOR_SPAWN_PROBE\""}) {
        EXPECT_EQ(utils::call_spawn(command), -1) << command;
    }
    EXPECT_EQ(utils::call_spawn("exit 0"), 0);
    EXPECT_EQ(utils::call_spawn("test -z \"$QUOR_SPAWN_PROBE\""), 0);
    EXPECT_EQ(
        utils::call_spawn("sleep 0.2; printf 'a b' > '" + file + "' && echo c >> '" + file + "'"),
        0);
    EXPECT_EQ(testfs::ReadFile(file), "a bc\n");
    EXPECT_EQ(trace.Text(), "");
}

// With SIGCHLD ignored the kernel reaps the child itself, so there is
// nothing left to wait for.
TEST(CallSpawn, WaitFailureIsTraced) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGCHLD, &ignore, &previous), 0);
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_EQ(utils::call_spawn("true"), -1);
    EXPECT_THAT(trace.Text(), HasSubstr("call_spawn() waitpid\n"));
    ::sigaction(SIGCHLD, &previous, nullptr);
}

TEST(Mount, MissingSourceFailsWithTraceEvenForRoot) {
    // A block file system on a device that does not exist: no process may
    // mount that, root included. Mounting in a private namespace when
    // possible keeps even an unexpected success away from the machine.
    testfs::EnterPrivateMountNamespace();
    TempDir dir;
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_FALSE(utils::mount("/dev/quor-no-such-device", dir.Path(), "vfat"));
    EXPECT_THAT(trace.Text(), HasSubstr("mount() failed! errno: "));
    // The mount trace names no path.
    EXPECT_THAT(trace.Text(), testing::Not(HasSubstr(dir.Path())));
}

TEST(Mount, MountsAndUnmountsWhereAllowed) {
    if (!testfs::EnterPrivateMountNamespace()) {
        GTEST_SKIP() << "mounting needs root";
    }
    TempDir dir;
    {
        TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
        ASSERT_TRUE(utils::mount("none", dir.Path(), "tmpfs"));
        testfs::WriteFile(dir / "inside", "x");
        EXPECT_TRUE(testfs::Exists(dir / "inside"));
        EXPECT_TRUE(utils::umount(dir.Path()));
        EXPECT_FALSE(testfs::Exists(dir / "inside")) << "it lived on the mounted file system";
        EXPECT_EQ(trace.Text(), "");
    }
    TraceCapture trace(TRACE_FILE_UTILS, TRACELEVEL_ERROR);
    EXPECT_FALSE(utils::umount(dir.Path())) << "no longer mounted";
    EXPECT_THAT(trace.Text(), HasSubstr("umount() failed on '" + dir.Path() + "'! errno: "));
}

} // namespace
