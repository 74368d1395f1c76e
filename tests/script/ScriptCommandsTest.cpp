#include <gmock/gmock.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "script/SILScriptCommands.h"
#include "script/SILSysVars.h"
#include "shell/CQshell.h"
#include "util/FileTestSupport.h"

namespace {

std::vector<std::string> sentLines;

int RecordLine(CommandStruct* cs) {
    sentLines.push_back(cs->m_inputLine);
    return 0;
}

int RunNestedScript(CommandStruct*) {
    char text[] = "print \"inner\"";
    return QSH_ExecuteScriptFromBuffer(text);
}

// Registers the command set and shell commands that record the lines they get.
class ScriptCommands : public testing::Test {
protected:
    void SetUp() override {
        lastRow = QSH_RegisterCommands(nullptr);
        for (char const* name : {"q_send_ir", "q_echo", "q_sleep"}) {
            qshell.AddQshellCmd(0, name, "test", "", RecordLine, nullptr, true);
        }
        qshell.AddQshellCmd(0, "run_nested", "test", "", RunNestedScript, nullptr, true);
        sentLines.clear();
    }

    int lastRow = 0;

    // What the script printed; its result into *result.
    static std::string Run(std::string script, int* result = nullptr) {
        testing::internal::CaptureStdout();
        int const r = QSH_ExecuteScriptFromBuffer(&script[0]);
        std::fflush(stdout);
        if (result != nullptr) {
            *result = r;
        }
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(ScriptCommands, ComputeListAndVariableResultsGoToTargetsOnly) {
    SILCreateSysVarInt("n");
    SILCreateSysVarString("n");
    std::string const list = "\"" + std::string(253, 'x') + ",yz,w\"";
    EXPECT_EQ(Run("VAR int i j\nVAR string s t u v\ni <- 7\nb_and 12 3\nprint \"[i]\"\n"
                  "i <- b_or 12 3\nj <- b_xor 12 6\nprint \"[i] [j]\"\ni <- b_and 12 6\n"
                  "j <- qshellcmd_exists \"q_echo\"\nprint \"[i] [j]\"\n"
                  "s <- element \"a,b,c\" 0\nt <- element \"a,b,c\" 2\nu <- element \"a,b,c\" 3\n"
                  "v <- element \"a,,c\" 1\nprint \"[s]\" \"[t]\" \"<[u]>\" \"<[v]>\"\n"
                  "s <- element " +
                  list + " 1\nt <- element " + list +
                  " 2\n"
                  "print \"[s]\" \"<[t]>\"\n"
                  "set_sys_var_string \"none\" \"x\"\nset_sys_var_int \"n\" -1\n"
                  "set_sys_var_string \"n\" \"text\"\ni <- get_sys_var_int \"n\"\n"
                  "s <- get_sys_var_string \"n\"\nt <- get_sys_var_string \"none\"\n"
                  "j <- exist_sys_var_string \"none\"\nprint \"[i] [s] <[t]> [j]\"\n"
                  "j <- get_sys_var_int \"none\"\nprint \"[j]\""),
              "7 \n15 10 \n4 1 \na c <> <> \ny <> \n-1 text <> 0 \n"
              "none ist nicht definiert !!! \n0 \n");
    EXPECT_EQ(sysVarStringMap.count("none") + sysVarIntMap.count("none"), 0u);
    EXPECT_EQ(SILGetSysVarInt("n"), -1);
}

TEST_F(ScriptCommands, SendExactShellLines) {
    struct Case {
        char const* line;
        std::vector<std::string> sent;
        char const* printed;
    } const cases[] = {
        {"q_send_ir 1 2 3 4", {"q_send_ir 1 2 3 4"}, ""},
        {"q_send_ir_s 0 1 \"IR_CODE_OK\" \"IR_CODE_EXIT\"", {"q_send_ir 0 1 38 39"}, ""},
        {"q_send_ir_s 0 1 \"NO_KEY\" \"IR_CODE_VOL_PLUS\" \"NO_KEY\"",
         {"q_send_ir 0 1 -1 26 -1"},
         "ERROR: Illegal ir key name string\n"},
        {"q_echo \"a\" \"b c\"", {"q_echo a b c "}, ""},
        {"q_sleep 3", {"q_sleep 3"}, ""},
        {"QSHELL \"q_send_ir\" \"5\"", {"q_send_ir 5 "}, ""},
        {"q_send_ir_wait_msec 20 38",
         {"q_send_ir 0 1 38"},
         "qshSendIrWaitMsec is waiting (ms) = 20\n"},
        {"q_send_ir_s_wait_msec 1 \"IR_CODE_INFO\"",
         {"q_send_ir 0 1 28"},
         "qshSendIrWaitMsec is waiting (ms) = 1\nlQshellCmdString = q_send_ir 0 1 28\n"},
        // A shell command that runs a script of its own: the caller goes on.
        {"qshell \"run_nested\"\nprint \"outer\"", {}, "inner \nouter \n"},
    };
    for (Case const& c : cases) {
        sentLines.clear();
        EXPECT_EQ(Run(c.line), c.printed) << c.line;
        EXPECT_EQ(sentLines, c.sent) << c.line;
    }
}

TEST_F(ScriptCommands, ResultsOfRegistrationBuffersAndFiles) {
    EXPECT_EQ(QSH_RegisterCommands(nullptr), -2); // registering twice adds no row
    EXPECT_EQ(RegisterCommand("probe", "", nullptr, nullptr), lastRow + 1);
    int result = 1;
    EXPECT_EQ(Run("print \"a\"\nno_such_command 1", &result),
              "Compile Error: Unkown command in line: 'no_such_command 1'\r\n\n");
    EXPECT_EQ(result, -1);
    EXPECT_THAT(Run("VAR str4 s\ns <- \"hello\"\nprint \"not reached\"", &result),
                testing::StartsWith("Runtime Error: String variable overflow!"));
    EXPECT_EQ(result, 0);

    testfs::TempDir dir;
    std::string const head = "print \"head\"\n";
    std::string const text = head + std::string(131072 - head.size(), '\n') + "print \"tail\"";
    testfs::WriteFile(dir / "long.sil", text);
    testing::internal::CaptureStdout();
    EXPECT_EQ(QSH_ExecuteScriptFromFile((dir / "long.sil").c_str()), 0);
    EXPECT_EQ(QSH_ExecuteScriptFromFile((dir / "none.sil").c_str()), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "131072 bytes loaded from script file: " + (dir / "long.sil") + "\nhead \n" +
                  "Unable to open '" + (dir / "none.sil") + "'\n");
}

TEST_F(ScriptCommands, AbortFromAnotherThreadEndsTheScriptAfterItsWait) {
    SILCreateSysVarInt("started");
    std::string printed;
    auto const start = std::chrono::steady_clock::now();
    std::thread runner([&] {
        printed = Run("set_sys_var_int \"started\" 1\nprint \"a\"\nwait_sec 2\nprint \"b\"");
    });
    while (SILGetSysVarInt("started") != 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    char other[] = "print \"other\"";
    EXPECT_EQ(QSH_ExecuteScriptFromBuffer(other), -1); // refused while the first runs
    QSH_AbortScriptRequest();
    runner.join();
    EXPECT_EQ(printed, "a \nERROR: A script is already running on another thread\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(Run("print \"again\""), "again \n"); // the next run starts afresh
}

TEST_F(ScriptCommands, CallQsimPassesTwoUnexpandedArgumentsWithoutAShell) {
    if (!testfs::EnterPrivateMountNamespace()) {
        GTEST_SKIP() << "needs root for a private mount namespace";
    }
    testfs::ScopedMount const opt("none", "/opt", "tmpfs", 0, "size=1m");
    ASSERT_TRUE(opt.Mounted());
    ASSERT_EQ(::mkdir("/opt/Program", 0755), 0);
    testfs::WriteFile("/opt/Program/qsim", "#!/bin/sh\nprintf '<%s>' \"$@\" >> /opt/Program/args\n"
                                           "[ \"$1\" != fail ]\n");
    ASSERT_EQ(::chmod("/opt/Program/qsim", 0755), 0);
    EXPECT_EQ(Run("call_qsim \"a b\" \"; touch /opt/Program/pwned $HOME\"\n"
                  "call_qsim \"fail\" \"x\""),
              "ERROR: SIL command call_qsim failed\n");
    EXPECT_EQ(testfs::ReadFile("/opt/Program/args"),
              "<a b><; touch /opt/Program/pwned $HOME><fail><x>");
    EXPECT_NE(::access("/opt/Program/pwned", F_OK), 0);
    ASSERT_EQ(::unlink("/opt/Program/qsim"), 0);
    EXPECT_EQ(Run("call_qsim \"a\" \"b\""), "ERROR: SIL command call_qsim failed\n");
}

TEST_F(ScriptCommands, RunsTheReadmeExample) {
    std::ifstream file(QUOR_SOURCE_DIR "/README.md");
    std::stringstream readme;
    readme << file.rdbuf();
    std::smatch blocks;
    std::string const text = readme.str();
    ASSERT_TRUE(std::regex_search(
        text, blocks, std::regex("```sil\n([^`]*)```\\s*shows\\s*```text\n([^`]*)```")));
    SILCreateSysVarInt("RUNS");
    SILCreateSysVarString("QUORALOG_PATH");
    SILSetSysVarString("QUORALOG_PATH", "/tmp/usb_logs/");
    // Markdown may lose the blank after each printed word.
    EXPECT_EQ(std::regex_replace(Run(blocks[1]), std::regex(" \n"), "\n"), blocks[2].str());
    EXPECT_EQ(sentLines, (std::vector<std::string>{"q_send_ir 0 1 37", "q_send_ir 0 1 38"}));
    EXPECT_EQ(SILGetSysVarInt("RUNS"), 1);
}

} // namespace
