#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <thread>

#include "ShellTestSupport.h"
#include "support/SyslogCapture.h"

namespace {

using namespace shell_test;

using QshellSocket = ShellServerTest;

TEST_F(QshellSocket, OnlyWholeRequestsAreExecutedAndAnswered) {
    ASSERT_TRUE(StartShell());
    BindClient();
    std::string garbage(QSHELL_REQUEST_SIZE, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>(i * 37 % 255 + 1); // no NUL anywhere
    }
    struct Case {
        std::string request;
        std::string answer;
    } const cases[] = {
        {Request("q_echo"), std::string("OK", 3)},
        {Request("no_such_cmd"), std::string("ERR", 4)},
        {Request("q_echo", 1100), std::string("OK", 3)}, // cut to a whole request
        {garbage, std::string("ERR", 4)},
        {std::string(QSHELL_REQUEST_SIZE, ','), std::string("ERR", 4)},
    };
    for (Case const& c : cases) {
        // A short request before it must get no answer of its own.
        SendTo(m_client, m_name, Request("no_such_cmd", QSHELL_REQUEST_SIZE - 1));
        SendTo(m_client, m_name, c.request);
        EXPECT_EQ(Receive(m_client), c.answer);
    }
    EXPECT_EQ(Receive(m_client, 100), "");
}

TEST_F(QshellSocket, FloodIsServedOneAnswerPerRequest) {
    ASSERT_TRUE(StartShell());
    BindClient();
    constexpr int requests = 10000;
    std::thread sender([&] {
        for (int i = 0; i < requests; ++i) {
            SendTo(m_client, m_name, Request(i % 2 == 0 ? "q_echo flood" : "\x01\xff garbage"));
        }
    });
    int ok = 0;
    int err = 0;
    for (int i = 0; i < requests; ++i) {
        std::string const answer = Receive(m_client);
        ok += answer == std::string("OK", 3);
        err += answer == std::string("ERR", 4);
    }
    sender.join();
    EXPECT_EQ(ok, requests / 2);
    EXPECT_EQ(err, requests / 2);
    EXPECT_EQ(Receive(m_client, 100), "");
}

// Binds the client socket from inside the shell: every answer before it has failed.
std::atomic<int> clientBoundByCommand{-1};
int BindClientCommand(CommandStruct*) {
    clientBoundByCommand.store(DatagramSocket(QSHELL_CLIENT_NAME));
    return 0;
}

TEST_F(QshellSocket, AnswerToAMissingClientFailsAtOnceAndServingGoesOn) {
    ASSERT_TRUE(StartShell());
    m_shell->AddQshellCmd(0, "bind_client", "test", "", BindClientCommand, nullptr, true);
    TraceCapture socketTraces(TRACE_QSHELL_SOCKET, TRACELEVEL_WARNING);
    quorTrace.SetTraceOn(TRACE_QSHELL, TRACELEVEL_DEBUG);
    int const unbound = DatagramSocket();
    auto const start = std::chrono::steady_clock::now();
    SendTo(unbound, m_name, Request("q_echo"));
    SendTo(unbound, m_name, Request("nothing"));
    SendTo(unbound, m_name, Request("bind_client"));
    ASSERT_TRUE(WaitFor([] { return clientBoundByCommand.load() != -1; }));
    m_client = clientBoundByCommand.load();
    EXPECT_EQ(Receive(m_client), std::string("OK", 3));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    close(unbound);
    std::string const& text = socketTraces.Text();
    EXPECT_EQ(runtime_test::CountLines(text, "CQshell::SendQshellCmdAckToSocket() - FAILED, "
                                             "SocketName = " QSHELL_CLIENT_NAME),
              1);
    EXPECT_EQ(runtime_test::CountLines(text, "CQshell::SendQshellCmdNackToSocket() - FAILED"), 1);
    EXPECT_EQ(
        runtime_test::CountLines(text, "CQshell::RealThreadFunction() - Sending Ack/Nack failed"),
        2);
}

TEST_F(QshellSocket, SecondInstanceEndsAndAStaleSocketIsBoundAgain) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t const child = fork();
    if (child == 0) {
        // The first instance, killed below without a chance to clean up.
        CQshell first;
        first.Init(m_name.c_str());
        first.StartThread("FirstShell", 0, 0);
        WaitFor([&] { return first.GetSocketFd() != -1; });
        char const byte = 'r';
        _exit(write(ready[1], &byte, 1) == 1 ? (pause(), 0) : 3);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    SyslogCapture::Clear();
    EXPECT_FALSE(StartShell());
    EXPECT_TRUE(WaitFor([&] { return !m_shell->IsRunning(); }));
    EXPECT_EQ(SyslogCapture::Count("Second instance already running"), 1) << SyslogCapture::Dump();

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    ASSERT_TRUE(testfs::Exists(TmpAddress(m_name).sun_path));
    ASSERT_TRUE(StartShell());
    BindClient();
    SendTo(m_client, m_name, Request("q_echo again"));
    EXPECT_EQ(Receive(m_client), std::string("OK", 3));
}

TEST_F(QshellSocket, StopEndsTheWaitAndTheNameCanBeServedAgain) {
    ASSERT_TRUE(StartShell());
    m_shell->StopThreadAndWait();
    EXPECT_FALSE(m_shell->IsRunning());
    EXPECT_EQ(m_shell->GetSocketFd(), -1);
    ASSERT_TRUE(StartShell());
    BindClient();
    EXPECT_EQ(m_shell->test_c("q_echo"), 0);
    EXPECT_EQ(Receive(m_client), std::string("OK", 3));
    EXPECT_EQ(m_shell->test_c("nope"), QSHELL_ERR_UNKNOWN_COMMAND);
    EXPECT_EQ(Receive(m_client), std::string("ERR", 4));
}

// A handler that runs a further line on its own thread, while a line from
// another thread waits for the first to end.
std::atomic<int> innerRuns{0};
std::atomic<bool> outerActive{false};
std::atomic<bool> outerStarted{false};
std::atomic<bool> otherRanDuringOuter{false};

int Inner(CommandStruct* cs) {
    if (cs->m_param[0].m_value == 2 && outerActive.load()) {
        otherRanDuringOuter.store(true);
    }
    innerRuns.fetch_add(1);
    return 0;
}

int Outer(CommandStruct*) {
    outerActive.store(true);
    outerStarted.store(true);
    usleep(50000); // time for the other thread to try
    int const nested = qshell.ProcessQshellCmd("inner 1");
    outerActive.store(false);
    return nested;
}

TEST(QshellConcurrency, NestedLineRunsWhileOtherThreadsWait) {
    qshell.AddQshellCmd(0, "outer", "test", "outer", Outer, nullptr, true);
    qshell.AddQshellCmd(1, "inner", "test", "inner", Inner, nullptr, true);
    std::thread first([] { EXPECT_EQ(qshell.ProcessQshellCmd("outer"), 0); });
    ASSERT_TRUE(WaitFor([] { return outerStarted.load(); }));
    std::thread second([] { EXPECT_EQ(qshell.ProcessQshellCmd("inner 2"), 0); });
    first.join();
    second.join();
    EXPECT_EQ(innerRuns.load(), 2);
    EXPECT_FALSE(otherRanDuringOuter.load());
}

} // namespace
