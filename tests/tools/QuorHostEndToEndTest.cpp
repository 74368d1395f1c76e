#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/RuntimeTestSupport.h"
#include "support/PrivateTraceDirs.h"
#include "support/SpawnProgram.h"

namespace {

// The exit status of pid, -1 when it did not exit by itself within timeoutMs.
int ExitStatus(pid_t pid, int timeoutMs = 20000) {
    int status = 0;
    bool const ended =
        runtime_test::WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeoutMs);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The message queues pid holds open, by name.
std::vector<std::string> OpenQueues(pid_t pid) {
    std::vector<std::string> queues;
    for (auto const& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        std::error_code error;
        std::string const target = std::filesystem::read_symlink(fd.path(), error).string();
        if (target.rfind("/Q_", 0) == 0) {
            queues.push_back(target);
        }
    }
    return queues;
}

TEST(QuorHost, ServesTheShellRunsTheTraceConfigurationAndStopsCleanlyOnSigterm) {
#ifdef QUOR_TEST_UNDER_EMULATION
    GTEST_SKIP() << "starts host programs";
#endif
    PrivateTraceDirs dirs;
    if (!dirs.Enter()) {
        GTEST_SKIP() << "needs root to mount over /tmp and /mnt";
    }
    ASSERT_TRUE(std::filesystem::create_directories("/tmp/usb_logs"));
    ASSERT_TRUE(std::filesystem::create_directories("/tmp/mq"));
    ASSERT_EQ(mount("mqueue", "/tmp/mq", "mqueue", 0, nullptr), 0);
    testfs::WriteFile("/tmp/usb_logs/traces_e2e.cfg", "QSHELL=q_traceon TRACE_TIMER 20\n");

    std::string const out = "/tmp/host.out";
    pid_t const host = SpawnProgram(
        QUOR_HOST, {"--serve", "--socket", "e2e_shell", "--suffix", "_e2e"}, out.c_str());
    ASSERT_GT(host, 0);
    ASSERT_TRUE(runtime_test::WaitFor([&] {
        return testfs::Exists("/tmp/e2e_shell") &&
               testfs::ReadFile(out).find("Trace switched on") != std::string::npos;
    })) << testfs::ReadFile(out);

    struct Request {
        std::vector<std::string> words;
        int status;
    };
    Request const requests[] = {
        {{"q_traceon", "trace_host", "TRACELEVEL_DEBUG"}, 0},
        {{"q_tracestate", "5"}, 0},
        {{"q_tracestate", "11"}, 0},
        {{"q_help", "trace"}, 0},
        {{"q_traceoff", "no_such_unit"}, 1},
    };
    for (Request const& request : requests) {
        std::vector<std::string> args = {"-s", "e2e_shell"};
        args.insert(args.end(), request.words.begin(), request.words.end());
        EXPECT_EQ(ExitStatus(SpawnProgram(QUOR_SHELL, args, "/tmp/shell.out")), request.status)
            << request.words[0];
    }
    EXPECT_EQ(runtime_test::CountLines(testfs::ReadFile("/tmp/shell.out"), "OK"), 4);

    // A second host on the name runs its script without a shell.
    testfs::WriteFile("/tmp/second.sil", "print \"second ran\"\n");
    EXPECT_EQ(ExitStatus(SpawnProgram(QUOR_HOST, {"--socket", "e2e_shell", "/tmp/second.sil"},
                                      "/tmp/second.out")),
              0);
    std::string const second = testfs::ReadFile("/tmp/second.out");
    EXPECT_NE(second.find("is not served: Second instance already running"), std::string::npos);
    EXPECT_NE(second.find("second ran"), std::string::npos) << second;

    std::vector<std::string> const queues = OpenQueues(host);
    EXPECT_FALSE(queues.empty()) << "the cfg-file thread's queue";
    ASSERT_EQ(kill(host, SIGTERM), 0);
    EXPECT_EQ(ExitStatus(host), 0);

    std::string const printed = testfs::ReadFile(out);
    for (char const* line : {
             "CQuorTrace:: Processing cfgfile: /tmp/usb_logs/traces_e2e.cfg\n",
             "Trace switched on to level TRACELEVEL_INFO (20) for unit TRACE_TIMER (11)\n",
             "Trace switched on to level TRACELEVEL_DEBUG (10) for unit TRACE_HOST (5)\n",
             "Trace unit   5 TRACE_HOST             - Trace activation state = 10",
             "Trace unit  11 TRACE_TIMER            - Trace activation state = 20",
             "q_tracewithcolors 0|1\t\tSwitch color mode for traces off/on\n",
             "ERROR: Parameter 1 (trace unit) is not a number or a valid name\n",
         }) {
        EXPECT_NE(printed.find(line), std::string::npos) << line << " in\n" << printed;
    }
    EXPECT_EQ(printed.find("still running"), std::string::npos) << printed;
    EXPECT_NE(testfs::ReadFile("/tmp/usb_logs/quortrc_e2e.log").find("TRACING RESTARTED"),
              std::string::npos);
    for (std::string const& queue : queues) {
        EXPECT_FALSE(testfs::Exists("/tmp/mq" + queue)) << queue;
    }
}

} // namespace
