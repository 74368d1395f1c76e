#include <cstring>
#include <string>
#include <vector>

#include "SilTestSupport.h"

namespace {

using Words = std::vector<int>;

// The words of a string constant: type, padded size, length, text.
Words Text(std::string const& text) {
    Words words{6, static_cast<int>((text.size() + 3) / 4 * 4), static_cast<int>(text.size())};
    std::string padded = text + std::string(3, '\0');
    for (std::size_t i = 0; i < text.size(); i += 4) {
        int word;
        std::memcpy(&word, padded.data() + i, 4);
        words.push_back(word);
    }
    return words;
}

Words Join(std::vector<Words> const& parts) {
    Words all;
    for (Words const& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void TickCommand(void*) {}

// With a buffer of 0x2F1 words the first variable lies at 0x2F0.
constexpr unsigned kSmall = 0x2F1 * 4;
constexpr int X = 0x2F0;
constexpr int kTarget = static_cast<int>(0x80000000u);

TEST(SilCompiler, EncodesEachKindOfLineWordForWord) {
    int const tick = SILRegisterCommand("tick I", "", TickCommand, nullptr);
    struct Case {
        char const* source;
        Words code;
    } const cases[] = {
        {"VAR int x\nx <- add 2 3", {kTarget | 12, 0, X, 4, 2, 4, 3, 0xFFFF}},
        {"VAR int x\nif x == 5\nendif", {1, 0, X, 7, 1, 4, 5, 3, 16, 0xFFFF}},
        {"VAR int x\nif x=5\nx <- 1\nelse\nendif",
         {1, 0, X, 7, 1, 4, 5, 3, 26, 0xFFFF, kTarget | 25, 0, X, 4, 1, 0xFFFF, 2, 3, 26, 0xFFFF}},
        {"VAR int x\nwhile x<3\n  x <- add x 1\nwend",
         {4, 0, X, 7, 3, 4, 3,      3, 28, 0xFFFF, kTarget | 12,
          0, X, 0, X, 4, 1, 0xFFFF, 5, 3,  6,      0xFFFF}},
        {"VAR int x\nrepeat\nx <- add x 1\nuntil x>=3",
         {kTarget | 12, 0, X, 0, X, 4, 1, 0xFFFF, 7, 0, X, 7, 6, 4, 3, 3, 6, 0xFFFF}},
        {"VAR int x\nset x 5\nset x :\nset x 0x10 % x <- 1\nset x 0xFFFFFFFFF\nset x -99999999999",
         {8, 0,  X,      4, 5, 0xFFFF, 8, 0,  X,      4, 0, 0xFFFF, 8, 0,         X,
          4, 16, 0xFFFF, 8, 0, X,      4, -1, 0xFFFF, 8, 0, X,      4, INT32_MIN, 0xFFFF}},
        {"VAR float f\nf <- 1.5", {kTarget | 26, 1, X, 5, 0x3FC00000, 0xFFFF}},
        {"VAR int n\nVAR string s\nn <- strlen s\nstrlen s",
         {kTarget | 21, 0, X, 2, X - 66, 0xFFFF, 21, 2, X - 66, 0xFFFF}},
        {"VAR int n\nn <- tick", {kTarget | tick, 0, X, 0xFFFF}},
        {"# comment\n\n  % comment\r\nprints \"abc\", \"\"",
         Join({{11}, Text("abc"), Text(""), {0xFFFF}})},
        {"prints \"a,b c\"x \"[65][13][10] [@66][nope]\"",
         Join({{11}, Text("a,b c"), Text("A\r\n B"), {0xFFFF}})},
        {"prints undeclared !x", Join({{11}, Text("undeclared"), Text("!x"), {0xFFFF}})},
    };
    for (Case const& c : cases) {
        SilProgram program = Compile(c.source, kSmall);
        EXPECT_EQ(program.Result(), 0) << c.source << ": " << SILLastError();
        EXPECT_EQ(program.Code(), c.code) << c.source;
        EXPECT_STREQ(SILLastError(), "");
    }
}

TEST(SilCompiler, WritesVariableReferencesIntoQuotedTexts) {
    SilProgram program = Compile("VAR int i\nVAR float f\nVAR string s\nSUB label\n"
                                 "prints s \"a [i] [@i] [f] [@s] [label] [x\"");
    int const i = program.Position(0);
    int const s = program.Position(1) - 66;
    char expected[128];
    std::snprintf(expected, sizeof expected, "a $x%x$ $X%x$ $y%x$ $Z%x$ $x%x$ [x", i, i, i - 1, s,
                  s - 1);
    EXPECT_EQ(program.Code(), Join({{11, 2, s}, Text(expected), {0xFFFF}}));
}

TEST(SilCompiler, SpacesOperatorsOutsideQuotesAndBeforeComments) {
    char const* const pairs[][2] = {
        {"if a<=b", "if a <= b"},
        {"if a<b", "if a < b"},
        {"if a>=b", "if a >= b"},
        {"if a==b", "if a == b"},
        {"if a!=b", "if a != b"},
        {"if a!~b", "if a !~ b"},
        {"if \"a<b\" = b", "if \"a<b\" == b"},
        {"a<-add a b", "a <- add a b"},
        {"if a >b %<", "if a > b % = <"},
    };
    for (auto const& pair : pairs) {
        std::string const declarations = "VAR int a b\n";
        SilProgram const spaced = Compile(declarations + pair[1] + "\nendif");
        SilProgram const tight = Compile(declarations + pair[0] + "\nendif");
        EXPECT_EQ(tight.Result(), spaced.Result()) << pair[0];
        EXPECT_EQ(tight.Code(), spaced.Code()) << pair[0];
    }
}

TEST(SilCompiler, KeepsLabelsEntryEndMarkersAndStringSizesInTheHeader) {
    SilProgram program = Compile("VAR str10 s\nSUB sub\nreturn\nEND\nMAIN\nstop");
    Words const& w = program.words;
    int const s = static_cast<int>(w.size()) - 5; // 20 bytes
    EXPECT_EQ(w[s], 12);
    EXPECT_EQ(w[s - 1], 6); // the label: the code word after its SUB line
    EXPECT_EQ(w[sil::kHeaderStorageLow], s - 1);
    EXPECT_EQ(program.Code(), (Words{23, 0xFFFF}));
    EXPECT_EQ(w[8], sil::kEndMarker);
    EXPECT_EQ(w[sil::kHeaderEntry], 9);
    EXPECT_EQ(w[sil::kHeaderBufferSize], 16384);
    EXPECT_EQ(w[sil::kHeaderChecksum], 23 + 0xFFFF);

    SilProgram big = Compile("VAR str99999 s", 160000);
    EXPECT_EQ(big.words[sil::kHeaderStorageLow], 40000 - 32760 / 4);
    EXPECT_EQ(big.words[40000 - 32760 / 4], 32752);
}

TEST(SilCompiler, WarnsOfAnUnknownVariableAndCompilesItAsText) {
    testing::internal::CaptureStdout();
    SilProgram program = Compile("prints nope \"x\"");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n\033[33mSIL-WARNING: Unknown variable found in SIL script - nope - If it should "
              "be a string, enclose it in double quotes.\033[0m\n");
    EXPECT_EQ(program.Code(), Join({{11}, Text("nope"), Text("x"), {0xFFFF}}));
}

std::string Repeat(std::string const& text, int times) {
    std::string all;
    while (times-- > 0) {
        all += text;
    }
    return all;
}

TEST(SilCompiler, ReportsEachErrorWithItsCodeAndLine) {
    std::string const ifs = Repeat("if 1 == 1\n", 33);
    std::string const whiles = Repeat("while 1 == 1\n", 17);
    std::string many;
    for (int i = 0; i < 257; ++i) {
        many += "VAR int v" + std::to_string(i) + "\n";
    }
    std::string const references = "prints \"" + Repeat("[i]", 300) + "\" \"\"";
    std::string const longLine = "VAR int a" + std::string(1015, ' ');
    struct Case {
        std::string source;
        int code;
        std::string line; // the line the message quotes
        char const* message;
        unsigned bytes;
    } const cases[] = {
        {"frobnicate 1", -100, "frobnicate 1", "Unkown command", 16384},
        {"VAR string s\nconcat s \"x\"", -99, "concat s \"x\"", "Wrong number of arguments", 16384},
        {"VAR int x\nx <- stop", -99, "x <- stop", "Wrong number of arguments", 16384},
        {"VAR float f\nf <- add f 2", -98, "f <- add f 2", "Argument 3: Type mismatch", 16384},
        {"add 1.5 2", -98, "add 1.5 2", "Argument 2: Type mismatch", 16384},
        {"else", -96, "else", "Bad nesting if-else-endif", 16384},
        {ifs, -96, "if 1 == 1", "Bad nesting if-else-endif", 65536},
        {"wend", -95, "wend", "Bad nesting while-wend", 16384},
        {whiles, -95, "while 1 == 1", "Bad nesting while-wend", 65536},
        {"until 1 == 1", -94, "until 1 == 1", "Bad nesting repeat-until", 16384},
        {"repeat\nif 1 = 1", -94, "if 1 = 1", "Bad nesting repeat-until", 16384},
        {many, -93, "VAR int v256", "Too many variables", 65536},
        {"VAR int a\nSUB a", -92, "SUB a", "Variable declared twice", 16384},
        {"VAR str x", -91, "VAR str x", "Unkown variable", 16384},
        {"VAR str200 s", -90, "VAR str200 s", "Out of memory (variables)", 1024},
        {"VAR int a\nVAR int b", -90, "VAR int b", "Out of memory (variables)", 4 * 138},
        {"stop\nstop", -89, "stop", "Out of memory (program)", 4 * 134},
        {"print" + Repeat(" 1", 18), -88, "print" + Repeat(" 1", 18), "Too many arguments", 16384},
        {"print" + Repeat(" 1", 16) + " 12", -88, "print" + Repeat(" 1", 16) + " 12",
         "Too many arguments", 16384},
        {longLine + " ", -86, longLine + " ", "Line too long", 16384},
        {"VAR int i\n" + references, -86, references, "Line too long", 16384},
        {"VAR int a b\na b <- c", -85, "a b <- c", "Syntax error", 16384},
        {"VAR int", -85, "VAR int", "Syntax error", 16384},
    };
    for (Case const& c : cases) {
        SilProgram program = Compile(c.source, c.bytes);
        EXPECT_EQ(program.Result(), c.code) << c.source.substr(0, 40);
        EXPECT_EQ(SILLastError(),
                  ("Compile Error: " + std::string(c.message) + " in line: '" + c.line + "'\r\n")
                      .substr(0, 255));
        // Whatever was compiled ends with an end marker under the checksum.
        int sum = 0;
        ASSERT_TRUE(sil::ProgramChecksum(program.words.data(), program.words.size(), &sum));
        EXPECT_EQ(sum, program.words[sil::kHeaderChecksum]);
    }
    EXPECT_EQ(Compile("VAR float f\nf <- add f 2").Result(), -98);
    EXPECT_EQ(SILBadArgument, 3);
    EXPECT_EQ(Compile("print" + Repeat(" \"x\"", 16) + " +").Result(), -99);
}

TEST(SilCompiler, AcceptsALineOf1023CharactersAndLongComments) {
    std::string const line = "VAR int a" + std::string(1014, ' ');
    EXPECT_EQ(Compile(line).Result(), 0) << SILLastError();
    EXPECT_EQ(Compile("# " + std::string(3000, '<')).Result(), 0);
}

} // namespace
