#include <signal.h>
#include <sys/wait.h>

#include "ShellTestSupport.h"

namespace {

using namespace shell_test;

struct ClientRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs quor-shell with the arguments (taken by /bin/sh) and standard input.
ClientRun RunClient(std::string const& args, std::string const& input) {
    testfs::WriteFile("/tmp/client_in", input);
    std::string const command = std::string(QUOR_SHELL_PATH) + " " + args +
                                " </tmp/client_in >/tmp/client_out 2>/tmp/client_err";
    int const status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testfs::ReadFile("/tmp/client_out"),
            testfs::ReadFile("/tmp/client_err")};
}

using QuorShellClient = ShellServerTest;

TEST_F(QuorShellClient, AnswersExitCodesAndMessages) {
    ASSERT_TRUE(StartShell());
    std::string const s = "-s " + m_name + " ";
    std::string const fits = "q_echo " + std::string(QSHELL_MAX_LINE_LENGTH - 7, ','); // one word
    struct Case {
        std::string args;
        std::string input;
        int exitCode;
        std::string out;
        std::string err;
    } const cases[] = {
        {s + "q_echo hi  there", "", 0, "OK\n", ""},
        {s + "no_such", "", 1, "ERR\n", ""},
        {"-s quor_none q_echo", "", 2, "",
         "quor-shell: no debug shell is listening on /tmp/quor_none\n"},
        {s + fits, "", 0, "OK\n", ""},
        {s + fits + "x", "", 2, "",
         "quor-shell: line of 1023 bytes refused: a request holds at most 1022 bytes\n"},
        {s, "q_echo a\n\n \t\nno_such\nq_echo b", 1, "OK\nERR\nOK\n", ""},
        {s, "q_echo a\n" + fits + "x\nq_echo b\n", 2, "OK\nOK\n",
         "quor-shell: line of 1023 bytes refused: a request holds at most 1022 bytes\n"},
        {"-t 0 q_echo", "", 2, "", "quor-shell: -t takes whole seconds from 1 to 86400, not '0'\n"},
        {s + "-t 1 q_sleep 2", "", 2, "",
         "quor-shell: no answer from the debug shell on /tmp/" + m_name + " within 1 s\n"},
    };
    for (Case const& c : cases) {
        ClientRun const run = RunClient(c.args, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(run.out, c.out) << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
        EXPECT_FALSE(testfs::Exists("/tmp/" QSHELL_CLIENT_NAME)) << c.args;
    }
    EXPECT_NE(RunClient("--help", "").out.find("Usage: quor-shell [-s NAME] [-t SECONDS]"),
              std::string::npos);
}

TEST_F(QuorShellClient, ClientSocketInUseIsRefusedAndAStaleOneTakenOver) {
    ASSERT_TRUE(StartShell());
    BindClient();
    ClientRun const refused = RunClient("-s " + m_name + " q_echo", "");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err,
              "quor-shell: another client already holds /tmp/" QSHELL_CLIENT_NAME "\n");
    close(m_client); // its file stays behind
    m_client = -1;
    EXPECT_EQ(RunClient("-s " + m_name + " q_echo", "").out, "OK\n");
    EXPECT_FALSE(testfs::Exists("/tmp/" QSHELL_CLIENT_NAME));
}

TEST(QuorShellClientSignal, InterruptRemovesTheClientSocket) {
    UsePrivateTmp();
    // The client waits for input on a FIFO the shell holds open, and gets SIGINT.
    std::string const script =
        "mkfifo /tmp/input && { " QUOR_SHELL_PATH " </tmp/input & pid=$!; exec 3>/tmp/input; "
        "while [ ! -e /tmp/" QSHELL_CLIENT_NAME " ]; do sleep 0.01; done; kill -INT $pid; "
        "wait $pid; }";
    int const status = std::system(script.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_FALSE(testfs::Exists("/tmp/" QSHELL_CLIENT_NAME));
    unlink("/tmp/input");
}

} // namespace
