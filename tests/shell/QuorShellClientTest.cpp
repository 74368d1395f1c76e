#include <signal.h>
#include <spawn.h>
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
    std::string fits = "q_echo";
    while (fits.size() < QSHELL_MAX_LINE_LENGTH) { // words and parameters within the limits
        fits +=
            " " +
            std::string(std::min<std::size_t>(100, QSHELL_MAX_LINE_LENGTH - fits.size() - 1), 'x');
    }
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

TEST_F(QuorShellClient, InterruptRemovesTheClientSocket) {
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    char* const argv[] = {const_cast<char*>(QUOR_SHELL_PATH), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, QUOR_SHELL_PATH, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_TRUE(WaitFor([] { return testfs::Exists("/tmp/" QSHELL_CLIENT_NAME); }));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    close(input[0]);
    close(input[1]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGINT) << status;
    EXPECT_FALSE(testfs::Exists("/tmp/" QSHELL_CLIENT_NAME));
}

} // namespace
