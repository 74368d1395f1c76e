#include "ShellTestSupport.h"

namespace {

using shell_test::OutputOf;

int PrintParams(CommandStruct* cs) {
    FormattedStringToStdout("%s %d %d %s\n", cs->m_cmdName.c_str(), cs->m_paramCount,
                            cs->m_paramCount > 0 ? cs->m_param[0].m_type : 0,
                            cs->m_paramCount > 0 ? cs->m_param[0].m_text.c_str() : "-");
    return 0;
}
int Fails(CommandStruct*) {
    return QSHELL_ERR_PARAM2;
}
int OwnHelp(CommandStruct*) {
    FormattedStringToStdout("own help\n");
    return QSHELL_ERR_PARAM1;
}

// The built-ins plus commands whose names and groups differ in case only,
// registered out of order.
class QshellCommands : public testing::Test {
protected:
    void SetUp() override {
        qshell.AddQshellInternalQshellCmds();
        qshell.AddQshellCmd(0, "b_cmd", "zeta", "b_cmd help", PrintParams, nullptr, true);
        qshell.AddQshellCmd(0, "A_cmd", "Alpha", "A_cmd help", PrintParams, nullptr, true);
        qshell.AddQshellCmd(0, "a_cmd", "alpha", "a_cmd help", Fails, OwnHelp, true);
        qshell.AddQshellCmd(0, "a_cmd", "alpha", "second a_cmd", PrintParams, nullptr, true);
        qshell.AddQshellCmd(2, "a", "trace", "a help", PrintParams, nullptr, true);
        qshell.AddQshellCmd(1, "x_trace_y", "trace", "x help", PrintParams, nullptr, true);
    }
};

TEST_F(QshellCommands, LinesGiveTheirResultAndTheTextAUserSees) {
    struct Case {
        char const* line;
        int result;
        char const* output;
    } const cases[] = {
        {"q_echo", 0, "\n\n"},
        {"q_echo  a\tb,,c ", 0, "\n  a\tb,,c \n"},
        {"q_echo\tx y", 0, "\n y\n"},
        {"q_echo ab\x7f", 0, "\n a\n"},
        {"", QSHELL_ERR_UNKNOWN_COMMAND, "-- ERROR: Unknown qshell command: \n"},
        {"A_CMD", QSHELL_ERR_UNKNOWN_COMMAND, "-- ERROR: Unknown qshell command: A_CMD\n"},
        {"q_dumplastcmd", QSHELL_ERR_UNKNOWN_COMMAND,
         "-- ERROR: Unknown qshell command: q_dumplastcmd\n"},
        {"a_cmd", QSHELL_ERR_PARAM2, "\n"},
        {"A_cmd 0x10 t", 0, "\nA_cmd 2 1 0x10\n"},
        {"deinit", 0, "\nQshell Deinit called\n"},
        {"q_sleep", QSHELL_ERR_PARAM_MISSING, "\nERROR: Parameter 1 (nr of seconds) is missing\n"},
        {"q_sleep 1s", QSHELL_ERR_PARAM1, "\nERROR: Parameter 1 (nr of seconds) is not a number\n"},
        {"q_sleep -3", 0, "\n"},
        {"q_help 7", 0, "\nq_help ()\n"},
        {"q_help a_cmd", 0, "\nq_help ()\nown help\n"},
        {"q_help b_cmd", 0, "\nq_help ()\nb_cmd help\n"},
        {"q_help trace", 0,
         "\nq_help ()\na help\nx help\nAvailable CmdName = x_trace_y Group = trace\n"},
        {"q_help cmd", QSHELL_ERR_UNKNOWN_COMMAND,
         "\nq_help ()\n-- ERROR: Help for unknown qshell command / qshell group requested: "
         "cmd\nAvailable CmdName = b_cmd Group = zeta\nAvailable CmdName = A_cmd Group = "
         "Alpha\nAvailable CmdName = a_cmd Group = alpha\nAvailable CmdName = a_cmd Group = "
         "alpha\n"},
        {"q_help groups", 0,
         "\nq_help ()\n--- List of qshell command groups: \nAlpha\nalpha\nqshell\ntrace\nzeta\n"},
        // Sorted by name, case-insensitively; equal names keep their order.
        {"q_help", 0,
         "\nq_help ()\na help\nA_cmd help\na_cmd help\nsecond a_cmd\nb_cmd help\n"
         "deinit\tJUST FOR QSHELL INTERNAL USE\nq_echo Just prints the text like the linux "
         "echo cmd\nq_help [qshell_cmd] | groups\nq_sleep <nr of seconds>\nx help\n"},
        // After sorting, look-up still finds the first of two equal names.
        {"a_cmd", QSHELL_ERR_PARAM2, "\n"},
    };
    for (Case const& c : cases) {
        int result = 0;
        EXPECT_EQ(OutputOf([&] { result = qshell.ProcessQshellCmd(c.line); }), c.output) << c.line;
        EXPECT_EQ(result, c.result) << c.line;
    }
    EXPECT_EQ(qshell.CountQshellEntrys(), 10);
}

TEST_F(QshellCommands, TestEntryPointsRunACommandWithoutParsing) {
    EXPECT_EQ(OutputOf([] {
                  EXPECT_EQ(qshell.test_a("b_cmd"), 0);
                  EXPECT_EQ(qshell.test_b("b_cmd", "12"), 0);
                  EXPECT_EQ(qshell.test_a("B_cmd"), QSHELL_ERR_UNKNOWN_COMMAND);
              }),
              "b_cmd 0 0 -\nb_cmd 1 2 12\n");
}

} // namespace
