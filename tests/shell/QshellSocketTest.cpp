#include <signal.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <atomic>
#include <map>
#include <thread>

#include "ShellTestSupport.h"
#include "support/SyslogCapture.h"

namespace {

using namespace shell_test;

using QshellSocket = ShellServerTest;

TEST_F(QshellSocket, OnlyWholeRequestsAreExecutedAndAnswered) {
    ASSERT_TRUE(StartShell());
    BindClient();
    struct Case {
        std::string request;
        std::string answer;
    } const cases[] = {
        {Request("q_echo"), std::string("OK", 3)},
        {Request("no_such_cmd"), std::string("ERR", 4)},
        {Request("q_echo", 1100), std::string("OK", 3)},                   // cut to a whole request
        {std::string(QSHELL_REQUEST_SIZE, '\xff'), std::string("ERR", 4)}, // no NUL at all
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

// Binds the client socket from inside the shell: every answer before it has failed.
std::atomic<int> clientBoundByCommand{-1};
int BindClientCommand(CommandStruct*) {
    clientBoundByCommand.store(BoundSocket(QSHELL_CLIENT_NAME));
    return 0;
}

TEST_F(QshellSocket, AnswerToAMissingClientFailsAtOnceAndServingGoesOn) {
    ASSERT_TRUE(StartShell());
    m_shell->AddQshellCmd(0, "bind_client", "test", "", BindClientCommand, nullptr, true);
    TraceCapture socketTraces(TRACE_QSHELL_SOCKET, TRACELEVEL_WARNING);
    quorTrace.SetTraceOn(TRACE_QSHELL, TRACELEVEL_DEBUG);
    int const unbound = socket(AF_UNIX, SOCK_DGRAM, 0);
    SendTo(unbound, m_name, Request("q_echo"));
    SendTo(unbound, m_name, Request("nothing"));
    SendTo(unbound, m_name, Request("bind_client"));
    ASSERT_TRUE(WaitFor([] { return clientBoundByCommand.load() != -1; }));
    m_client = clientBoundByCommand.load();
    EXPECT_EQ(Receive(m_client), std::string("OK", 3));
    close(unbound);
    std::string const& text = socketTraces.Text();
    EXPECT_EQ(runtime_test::CountLines(text, "CQshell::SendQshellCmdAckToSocket() - FAILED, "
                                             "SocketName = " QSHELL_CLIENT_NAME),
              1);
    EXPECT_EQ(
        runtime_test::CountLines(text, "CQshell::RealThreadFunction() - Sending Ack/Nack failed"),
        2);
}

TEST_F(QshellSocket, SecondInstanceEndsAndAStaleOrStoppedSocketIsBoundAgain) {
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
    ASSERT_TRUE(testfs::Exists("/tmp/" + m_name));
    ASSERT_TRUE(StartShell());
    BindClient();
    SendTo(m_client, m_name, Request("q_echo again"));
    EXPECT_EQ(Receive(m_client), std::string("OK", 3));
    m_shell->StopThreadAndWait(); // cancels the wait and closes the socket
    ASSERT_TRUE(StartShell());
    EXPECT_EQ(m_shell->test_c("nope"), QSHELL_ERR_UNKNOWN_COMMAND);
    EXPECT_EQ(Receive(m_client), std::string("ERR", 4));
}

// A handler that runs a further line on its own thread while a line from
// another thread waits for it to end.
std::atomic<int> outerState{0}; // 1 while "outer" runs, 2 after
std::atomic<int> outerStateSeenByOther{0};

int Inner(CommandStruct* cs) {
    if (cs->m_param[0].m_value == 2) {
        outerStateSeenByOther.store(outerState.load());
    }
    return 0;
}

int Outer(CommandStruct*) {
    outerState.store(1);
    usleep(50000); // time for the other thread to try
    int const nested = qshell.ProcessQshellCmd("inner 1");
    outerState.store(2);
    return nested;
}

TEST(QshellConcurrency, NestedLineRunsWhileOtherThreadsWait) {
    qshell.AddQshellCmd(0, "outer", "test", "outer", Outer, nullptr, true);
    qshell.AddQshellCmd(1, "inner", "test", "inner", Inner, nullptr, true);
    std::thread first([] { EXPECT_EQ(qshell.ProcessQshellCmd("outer"), 0); });
    ASSERT_TRUE(WaitFor([] { return outerState.load() == 1; }));
    EXPECT_EQ(qshell.ProcessQshellCmd("inner 2"), 0);
    first.join();
    EXPECT_EQ(outerStateSeenByOther.load(), 2);
}

} // namespace
