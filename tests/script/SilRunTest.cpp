#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
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
        {"i <- div -2147483648 -1", "-2147483648 0x80000000"},
        {"i <- integer \"-42x\"", "-42 0xffffffd6"},
        {"i <- strlen \"[f] [i]\"", "6 0x6"},
        {"add 1 2", "7 0x7"},
        {"f <- div 1.0 8.0", "7 0x7 0.12"},
        {"f <- mult 1.5 -3.0", "7 0x7 -4.50"},
        {"f <- sub 0.5 0.25", "7 0x7 0.25"},
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
    EXPECT_EQ(CompileAndRun("VAR int i\nVAR string s\nVAR string t\ni <- 255\n"
                            "s <- \"$\"\ns <- concat \"xfff$ $5 $\"\nt <- \"<[s]>\"\n"
                            "print \"[t]\" \"cost $5 $x10000$q $xfff\" \"[@s]\""),
              "<255 $5 $> cost $5 $x10000$q $xfff 255 $5 $ \n");
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

// What the probe command saw of its parameters.
struct Probe {
    int count, types[4], ints[2];
    float floats[2];
    std::string texts[2];
    bool nullBeyond;
    int returned;
} probe;

void ProbeCommand(void*) {
    probe.count = SILGetParaNum();
    for (int n = 0; n < 4; ++n) {
        SILGetParaType(n, &probe.types[n]);
    }
    probe.ints[0] = SILGetIntPara(0);
    probe.ints[1] = SILGetIntPara(5);
    probe.floats[0] = SILGetFloatPara(1);
    probe.floats[1] = SILGetFloatPara(-1);
    for (int n : {0, 1}) {
        char const* text = SILGetStringPara(n + 2);
        probe.texts[n] = text != nullptr ? text : "";
    }
    probe.nullBeyond = SILGetStringPara(5) == nullptr;
    SILSetIntPara(0, probe.ints[0] * 2);
    SILSetFloatPara(1, probe.floats[0] * 2);
    SILSetStringPara(2, "set");
    SILSetIntPara(5, 99); // beyond the parameters: nothing happens
    probe.returned = SILSetIntReturn(7);
}

TEST(SilRun, HandsACommandItsParametersAfterTheTarget) {
    SILRegisterCommand("probe Iifs:sx", "", ProbeCommand, nullptr);
    SilProgram program = Compile("VAR int n\nVAR int i\nVAR float f\nVAR string s\ni <- 21\n"
                                 "f <- 1.25\ns <- \"abc\"\nn <- probe i f s \"[i]\"\n"
                                 "print \"[n] [i] [f] [s]\"\nprobe i f s \"+\" <=");
    EXPECT_EQ(RunProgram(program), "7 42 2.50 set \n");
    EXPECT_EQ(probe.returned, 0); // no target on the second line
    EXPECT_EQ(probe.count, 5);
    EXPECT_EQ(probe.ints[0], 42);
    EXPECT_EQ(probe.ints[1], 0);
    EXPECT_EQ(probe.floats[0], 2.5f);
    EXPECT_EQ(probe.floats[1], 0.0f);
    EXPECT_EQ(probe.texts[0], "set");
    EXPECT_EQ(probe.texts[1], "+");
    EXPECT_TRUE(probe.nullBeyond);
    int const types[] = {0, 1, 2, 2};
    EXPECT_TRUE(std::equal(types, types + 4, probe.types));
    EXPECT_EQ(program.words[program.Position(0)], 7);
    EXPECT_EQ(program.words[program.Position(1)], 84);
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
    std::string const script = "VAR int i\nVAR float f\nVAR string s\nSUB sub\ni <- add i 1\n"
                               "s <- concat \"[i] [f] [s] [@i]\"\nreturn\nMAIN\nrepeat\n"
                               "if s != \"x\"\ncall sub\nelse\nf <- div 1.0 f\nendif\n"
                               "while i < 3\nprint \"[s]\" s\ni <- strlen s\nwend\nuntil i > 100";
    SilProgram const compiled = Compile(script);
    ASSERT_EQ(compiled.Result(), 0) << SILLastError();
    std::size_t const size = compiled.words.size();
    std::mt19937 random(7);
    int const interesting[] = {0,
                               1,
                               2,
                               3,
                               6,
                               7,
                               0xFFFF,
                               sil::kEndMarker,
                               -1,
                               28,
                               32760,
                               static_cast<int>(size),
                               static_cast<int>(size) - 1};
    for (int round = 0; round < 3000; ++round) {
        std::vector<int> memory(size + 8, 0x5A5A5A5A);
        std::copy(compiled.words.begin(), compiled.words.end(), memory.begin() + 4);
        int* const program = memory.data() + 4;
        for (int edits = 1 + round % 3; edits > 0; --edits) {
            std::size_t const at = random() % 2 ? random() % 120 : size - 1 - random() % 80;
            program[at] = random() % 2 ? interesting[random() % std::size(interesting)]
                                       : static_cast<int>(random() % 200);
        }
        program[sil::kHeaderBufferSize] = static_cast<int>(size * 4);
        sil::ProgramChecksum(program, size, &program[sil::kHeaderChecksum]);
        polls = 0;
        testing::internal::CaptureStdout();
        SILRun(program, 0, [] { return ++polls > 500 ? -1 : 0; });
        testing::internal::GetCapturedStdout();
        for (int i : {0, 1, 2, 3}) {
            ASSERT_EQ(memory[i], 0x5A5A5A5A) << round;
            ASSERT_EQ(memory[memory.size() - 1 - i], 0x5A5A5A5A) << round;
        }
    }
}

// The example of the README, compiled and run as it stands there.
TEST(SilRun, RunsTheReadmeExample) {
    std::ifstream file(QUOR_SOURCE_DIR "/README.md");
    std::stringstream readme;
    readme << file.rdbuf();
    std::string const text = readme.str();
    auto const block = [&text](std::string const& fence) {
        std::size_t const begin = text.find(fence + "\n");
        std::size_t const end = text.find("```", begin + fence.size());
        return begin == std::string::npos
                   ? std::string()
                   : text.substr(begin + fence.size() + 1, end - begin - fence.size() - 1);
    };
    // Markdown may lose the blank that print puts after each parameter.
    auto const trimmed = [](std::string text) {
        for (std::size_t at; (at = text.find(" \n")) != std::string::npos;) {
            text.erase(at, 1);
        }
        return text;
    };
    std::string const script = block("```sil");
    ASSERT_FALSE(script.empty());
    EXPECT_EQ(trimmed(CompileAndRun(script)), block("```text"));
}

} // namespace
