#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>

#include "RpcTransportFixture.h"
#include "runtime/CObserverCallbackFunction.h"

extern char** environ;

namespace {

using rpc_test::Destination;
using rpc_test::RpcTest;
using runtime_test::CountLines;
using runtime_test::WaitFor;

constexpr unsigned seed = 20;

// Starts the source process (RpcSourceProcess.cpp); its pid, or -1.
pid_t StartSource(std::string const& segment, std::string const& target, int first, int count,
                  char const* mode) {
    std::string const args[] = {
        RPC_SOURCE_PROCESS,   segment, target, std::to_string(first), std::to_string(count),
        std::to_string(seed), mode};
    char* argv[8] = {};
    for (int i = 0; i < 7; ++i) {
        argv[i] = const_cast<char*>(args[i].c_str());
    }
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) == 0 ? pid : -1;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Checks every message on the destination's thread: the test messages in order.
struct OrderChecker : CObserverCallbackFunction {
    void Callback(CQuorMsg* msg) override {
        int const index = next.load();
        if (!rpc_test::IsTestMessage(*msg, seed, index)) {
            wrong.fetch_add(1);
        }
        next.store(static_cast<int>(msg->m_userData) + 1);
        msg->FreeSignal();
    }
    std::atomic<int> next{0};
    std::atomic<int> wrong{0};
};

TEST_F(RpcTest, TenThousandMessagesFromAnotherProcessArriveOnceInOrderThenASourceRestarts) {
    OrderChecker checker; // outlives the destination's thread
    Destination d(rpc_test::UniqueFunctionName());
    d.dest.DeleteObserversWithCallbackQueue();
    d.dest.RegisterCallbackFunction(checker, 0, 0, 0);
    TraceCapture trace(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR);

    pid_t const first = StartSource(segment, d.name, 0, 10000, "wait");
    ASSERT_NE(first, -1);
    bool const all = WaitFor([&] { return checker.next.load() == 10000; }, 100000);
    kill(first, SIGKILL);
    EXPECT_EQ(ExitStatus(first), 128 + SIGKILL);
    ASSERT_TRUE(all) << checker.next.load() << " arrived";
    // A new source starts its numbers at 1 again.
    pid_t const second = StartSource(segment, "/" + d.name, 10000, 100, "send");
    ASSERT_NE(second, -1);
    EXPECT_EQ(ExitStatus(second), 0);
    ASSERT_TRUE(WaitFor([&] { return d.dest.GetNrOfProcessedMsgs() == 10100; }));

    EXPECT_EQ(checker.next.load(), 10100);
    EXPECT_EQ(checker.wrong.load(), 0);
    EXPECT_EQ(CountLines(trace.Text(), "Illegal sequence nr"), 0) << trace.Text();
}

TEST_F(RpcTest, AProcessKilledHoldingTheSharedMemoryLockDoesNotWedgeTheOthers) {
    EXPECT_EQ(ExitStatus(StartSource(segment, "unused", 0, 0, "die-holding-lock")), 128 + SIGKILL);
    void* const block = Chip_Util_CPUComm_Malloc(100);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(CPUCommStandInBlocksInUse(), 1);
    EXPECT_EQ(Chip_Util_CPUComm_Free(block), 0);
}

} // namespace
