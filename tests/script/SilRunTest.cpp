#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "SilTestSupport.h"
#include "script/SILStrings.h"

namespace {

TEST(SilRun, ComparesOnlyOperandsOfOneType) {
    struct Case {
        char const* condition;
        bool holds;
    } const cases[] = {
        {"i == 5", true},        {"i != 5", false},         {"i < 6", true},
        {"i > 6", false},        {"i <= 5", true},          {"i >= 6", false},
        {"-1 < 0", true},        {"i == 5.0", false},       {"f == 1.5", true},
        {"f < 1.25", false},     {"s == \"abc\"", true},    {"s < \"abd\"", true},
        {"s >= \"abd\"", false}, {"s ~ \"abc\"", false},    {"s !~ \"x\"", false},
        {"i == \"5\"", false},   {"\"[i]\" = \"5\"", true},
    };
    for (Case const& c : cases) {
        std::string const script =
            "VAR int i\nVAR float f\nVAR string s\ni <- 5\nf <- 1.5\ns <- \"abc\"\nif " +
            std::string(c.condition) + "\nprint \"T\"\nelse\nprint \"F\"\nendif";
        EXPECT_EQ(CompileAndRun(script), c.holds ? "T \n" : "F \n") << c.condition;
    }
}

TEST(SilRun, ComputesAs32BitIntsAndSingleFloats) {
    struct Case {
        char const* line;
        char const* printn;
    } const cases[] = {
        {"i <- add 2147483647 1", "-2147483648 0x80000000"},
        {"i <- sub -2147483648 1", "2147483647 0x7fffffff"},
        {"i <- mult 65536 65537", "65536 0x10000"},
        {"i <- div -7 2", "-3 0xfffffffd"},
        {"i <- div 7 0", "0 0x0"},
        {"i <- div 7 -1", "-7 0xfffffff9"},
        {"i <- div -2147483648 -1", "-2147483648 0x80000000"},
        {"i <- integer \"-42x\"", "-42 0xffffffd6"},
        {"i <- strlen \"[f] [i]\"", "6 0x6"},
        {"add 1 2", "7 0x7"},
        {"f <- div 1.0 8.0", "7 0x7 0.12"},
        {"f <- mult 1.5 -3.0", "7 0x7 -4.50"},
        {"f <- sub 0.5 0.25", "7 0x7 0.25"},
        {"f <- add 0.5 0.25", "7 0x7 0.75"},
    };
    for (Case const& c : cases) {
        std::string const script =
            "VAR int i\nVAR float f\ni <- 7\n" + std::string(c.line) +
            "\nif f == 0.0\nprint \"[i] [@i]\"\nelse\nprint \"[i] [@i] [f]\"\n"
            "endif";
        EXPECT_EQ(CompileAndRun(script), std::string(c.printn) + " \n") << c.line;
    }
}

TEST(SilRun, ExpandsReferencesAtTheirCurrentValue) {
    // i is the first variable, at the top word of the 16384-byte buffer.
    // s at 0xfbd, t at 0xf7b; t's own reference is kept, an empty e gives "".
    EXPECT_EQ(CompileAndRun("VAR int i\nVAR string s\nVAR string t\nVAR string e\ni <- 255\n"
                            "s <- \"$\"\ns <- concat \"xfff$ $5 $\"\nt <- \"<[s]>\"\n"
                            "print \"[t]\" \"cost $5 $x10000$q $xfff\" \"[@s]\"\n"
                            "t <- \"$\"\nt <- concat \"zf7b$\"\nprint \"[t]<[e]>\""),
              "<255 $5 $> cost $5 $x10000$q $xfff 255 $5 $ \n$zf7b$<> \n");
}

TEST(SilRun, EndsOnARuntimeErrorWithItsMessage) {
    std::string const fill = "VAR int i\nVAR str4096 s\nwhile i < 4096\ns <- concat \"x\"\n"
                             "i <- add i 1\nwend\n";
    struct Case {
        std::string script;
        std::string output;
    } const cases[] = {
        {"VAR str4 s\ns <- \"hello\"\nprint \"not reached\"",
         "Runtime Error: String variable overflow!\r\n's'"},
        {"VAR str8 s\ns <- \"abcd\"\ns <- concat \"efghi\"\nprint \"not reached\"",
         "Runtime Error: String variable overflow!\r\n's'"},
        {fill + "print \"[i]\"\nprint s s s s s s s s s s s s s s s s",
         "ERROR: String too long! \nRuntime Error: Internal string pool full!\r\n's'"},
        {"VAR int d\nVAR int n\nSUB down\nd <- add d 1\nif d < n\ncall down\nendif\nreturn\n"
         "MAIN\nn <- 32\ncall down\nprint \"[d]\"\nd <- 0\nn <- 33\ncall down",
         "32 \nRuntime Error: Nesting too deep!\r\n'down'"},
        {"print \"x\"\nreturn\nprint \"y\"",
         "x \nRuntime Error: 'return' outside of subroutine!\r\n''"},
    };
    for (Case const& c : cases) {
        std::string const output = CompileAndRun(c.script, 65536);
        EXPECT_EQ(output.substr(output.size() - std::min(output.size(), c.output.size())),
                  c.output);
        EXPECT_EQ(output.find("not reached"), std::string::npos);
    }
    SilProgram program = Compile("VAR str4 s\ns <- \"hello\"");
    RunProgram(program);
    int const* s = &program.words[program.words.size() - 3]; // 12 bytes
    EXPECT_EQ(std::string(reinterpret_cast<char const*>(s + 2), s[1]), "hell");
}

// Runs the program again from its entry, with the header as the compiler
// left it, after each way a run can end.
TEST(SilRun, RefusesAnAlteredProgramAndRunsAgainFromTheEntry) {
    SilProgram program = Compile("VAR int i\nprint \"start\"\nMAIN\ni <- add i 1\nprint \"[i]\"\n"
                                 "if i == 2\nreturn\nendif\nstop\nprint \"not reached\"");
    std::vector<int> const compiled = program.words;
    EXPECT_EQ(RunProgram(program), "1 \n");
    EXPECT_EQ(RunProgram(program), "2 \nRuntime Error: 'return' outside of subroutine!\r\n''");
    EXPECT_EQ(std::memcmp(program.words.data(), compiled.data(), 6 * sizeof(int)), 0);
    program.words[9] ^= 1; // an argument inside the code
    int result = 0;
    EXPECT_EQ(RunProgram(program, nullptr, &result), "SIL programm corrupted!");
    EXPECT_EQ(result, -100);
    program.words[9] ^= 1;
    EXPECT_EQ(RunProgram(program, nullptr, &result), "3 \n");
    EXPECT_EQ(result, 0);
}

int polls = 0;
int StopAtTheHundredthPoll() {
    return ++polls == 100 ? -1 : 0;
}

std::atomic<bool> stopRequested{false};
int StopWhenRequested() {
    return stopRequested.load() ? -1 : 1;
}

TEST(SilRun, AsksThePollBeforeEveryInstruction) {
    SilProgram program = Compile("VAR int i\nwhile 1 == 1\ni <- add i 1\nwend");
    RunProgram(program, StopAtTheHundredthPoll);
    EXPECT_EQ(program.words[program.Position(0)], 33); // 99 instructions, 3 a loop
    EXPECT_EQ(program.words[sil::kHeaderEntry], sil::kFirstCodeWord);

    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stopRequested = true;
    });
    RunProgram(program, StopWhenRequested);
    stopper.join();
    EXPECT_GT(program.words[program.Position(0)], 33);
}

char const* OrNull(char const* text) {
    return text != nullptr ? text : "null";
}

// Prints what it sees of its parameters, then changes them.
void ProbeCommand(void*) {
    int types[4];
    for (int n = 0; n < 4; ++n) {
        SILGetParaType(n, &types[n]);
    }
    std::printf("%d %d%d%d%d %d %d %.2f %.2f %s %s %s ", SILGetParaNum(), types[0], types[1],
                types[2], types[3], SILGetIntPara(0), SILGetIntPara(5), SILGetFloatPara(1),
                SILGetFloatPara(-1), OrNull(SILGetStringPara(2)), OrNull(SILGetStringPara(3)),
                OrNull(SILGetStringPara(5)));
    SILSetIntPara(0, SILGetIntPara(0) * 2);
    SILSetFloatPara(1, SILGetFloatPara(1) * 2);
    SILSetStringPara(2, "set");
    SILSetIntPara(5, 99); // beyond the parameters: nothing happens
    std::printf("%d\n", SILSetIntReturn(7));
}

TEST(SilRun, HandsACommandItsParametersAfterTheTarget) {
    SILRegisterCommand("probe Iifs:sx", "", ProbeCommand, nullptr);
    SilProgram program = Compile("VAR int n\nVAR int i\nVAR float f\nVAR string s\ni <- 21\n"
                                 "f <- 1.25\ns <- \"abc\"\nn <- probe i f s \"[i]\"\n"
                                 "print \"[n] [i] [f] [s]\"\nprobe i f s \"+\" <=");
    EXPECT_EQ(RunProgram(program), "4 0122 21 0 1.25 0.00 abc 21 null 1\n7 42 2.50 set \n"
                                   "5 0122 42 0 2.50 0.00 set + null 0\n");
    EXPECT_EQ(program.words[program.Position(0)], 7);
    EXPECT_EQ(program.words[program.Position(1)], 84);
}

// A command that runs a script of its own, as a shell command may.
void NestedCommand(void*) {
    SilProgram inner = Compile("VAR int j\nj <- 5\nprint \"inner [j]\"\nreturn");
    SILRun(inner.words.data(), 0, nullptr);
}

TEST(SilRun, GoesOnAfterACommandRanAScriptOfItsOwn) {
    SILRegisterCommand("nested", "", NestedCommand, nullptr);
    EXPECT_EQ(CompileAndRun("VAR int i\nrepeat\nnested\ni <- add i 1\nuntil i == 2\nprint \"[i]\""),
              "inner 5 \nRuntime Error: 'return' outside of subroutine!\r\n''inner 5 \n"
              "Runtime Error: 'return' outside of subroutine!\r\n''2 \n");
}

TEST(SilStrings, ReplaceAllStaysWithinItsAllowance) {
    char text[32] = "a$x1$b$x1$";
    EXPECT_EQ(SILReplaceAll(text, "$x1$", "12345", 1), -2);
    EXPECT_STREQ(text, "a12345b$x1$");
    EXPECT_EQ(SILReplaceAll(text, "$x1$", "", 0), 1);
    EXPECT_STREQ(text, "a12345b");
    EXPECT_EQ(SILReplaceAll(text, "", "x", 9), -1);
    int object[4] = {8, 7, 0, 0};
    std::memcpy(object + 2, "1234567", 7);
    char dest[8];
    EXPECT_EQ(SILExpandString(object, dest, 6), -1);
    EXPECT_EQ(RuntimeError, -2);
    EXPECT_EQ(SILExpandString(object, dest, 7), 7);
    EXPECT_STREQ(dest, "1234567");
}

// Hand-made programs: the run ends with an error and writes nothing outside
// the buffer, whatever the words say.
TEST(SilRun, SurvivesProgramsAlteredBehindTheChecksum) {
    struct Edit {
        int at, value; // `at` below 0 counts from the top of the buffer
        char const* output;
    } const edits[] = {
        {14, 99999, "Runtime Error: Program corrupted!\r\n'word 6'"},      // the if's jump
        {8, -5, "Runtime Error: Program corrupted!\r\n'word 6'"},          // its variable
        {6, 77, "Runtime Error: Program corrupted!\r\n'word 6'"},          // its opcode
        {-4, 1 << 20, "Runtime Error: Program corrupted!\r\n'word 4092'"}, // a capacity
        {-1, 99999, "Runtime Error: Program corrupted!\r\n''"},            // where call goes
        {2, 99999, "SIL programm corrupted!"},                             // the entry
    };
    for (Edit const& edit : edits) {
        SilProgram program =
            Compile("VAR int i\nVAR str4 s\nif i == 1\nendif\ns <- \"ab\"\ncall i");
        program.words[edit.at >= 0 ? edit.at : program.words.size() + edit.at] = edit.value;
        sil::ProgramChecksum(program.words.data(), program.words.size(),
                             &program.words[sil::kHeaderChecksum]);
        EXPECT_EQ(RunProgram(program), edit.output) << edit.at;
    }
}

void Quiet(void*) {}

// Last of the suite: it fills the command table.
TEST(SilCommands, RegistersRowsUntilTheTableIsFullAndPrintsTheirHelp) {
    int const row = SILRegisterCommand("a_command_with_a_name_too_long_to_keep s", "", Quiet, 0);
    EXPECT_EQ(SILRegisterCommand("a_command_with_a_name_too_long_", "", Quiet, nullptr), -2);
    EXPECT_EQ(Compile("a_command_with_a_name_too_long_").Code(), (std::vector<int>{row, 0xFFFF}));
    int rows = SILRegisterCommand("stringify", "Makes a string", Quiet, nullptr) + 1;

    char line[] = "help  string\r\n";
    testing::internal::CaptureStdout();
    SILPrintHelp(line);
    char exact[] = "help strlen Is";
    SILPrintHelp(exact);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "\r\n\033[33mprints ss\033[37;1;40m\r\n  Print to string\r\n"
        "\033[33mstrlen Is\033[37;1;40m\r\n  Returns length of string in 1st parameter\r\n"
        "\033[33minteger Is\033[37;1;40m\r\n  Converts a string to an integer\r\n"
        "\033[33mstringify\033[37;1;40m\r\n  Makes a string\r\n"
        "\r\n\033[33mstrlen Is\033[37;1;40m\r\n  Returns length of string in 1st parameter\r\n");

    while (SILRegisterCommand(("c" + std::to_string(rows)).c_str(), "", Quiet, nullptr) >= 0) {
        ++rows;
    }
    EXPECT_EQ(rows, 1024);
    testing::internal::CaptureStdout();
    EXPECT_EQ(SILRegisterCommand("one_more", "", Quiet, nullptr), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Too many SIL commands registered!\n");
}

} // namespace
