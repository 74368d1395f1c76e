#include "ShellTestSupport.h"

#include <limits>

namespace {

using shell_test::OutputOf;

// The parsed parameters as "N:<value>" or "T:<text>", blank-separated.
std::string Params(CommandStruct const& cs) {
    std::string text;
    for (int i = 0; i < cs.m_paramCount; ++i) {
        T_CommandParam const& p = cs.m_param[i];
        EXPECT_EQ(p.m_reserved, 0);
        text +=
            (i > 0 ? " " : "") +
            (p.m_type == QSHELL_PARAM_NUMBER ? "N:" + std::to_string(p.m_value) : "T:" + p.m_text);
    }
    return text;
}

TEST(QshellParser, SplitsWordsIntoNumbersAndTexts) {
    // The longest run of nines a long always holds, and one more, which
    // overflows to the largest long as strtol gives it.
    std::string const nines(std::numeric_limits<long>::digits10, '9');
    std::string const longNumbers = "c 007 " + nines + " " + nines + "9";
    std::string const longValues =
        "N:7 N:" + nines + " N:" + std::to_string(std::numeric_limits<long>::max());
    struct Case {
        char const* line;
        char const* name;
        char const* params;
    } const cases[] = {
        {"cmd a,b\tc  d\r\n", "cmd", "T:a T:b T:c T:d"},
        {",, cmd\t,1 ,2", "cmd", "N:1 N:2"},
        {"c 0x1F 0X1F -5 +7 12ab 0x 0xg -0x1", "c",
         "N:31 T:0X1F N:-5 N:7 T:12ab T:0x T:0xg T:-0x1"},
        {longNumbers.c_str(), "c", longValues.c_str()},
        {"", "", ""},
        {" \t,\r\n", "", ""},
        // DEL removes itself and the character before it, alone at the start.
        {"\x7f"
         "ab\x7f\x7f"
         "cd x\x7f"
         "yz\x7f",
         "cd", "T:y"},
    };
    for (Case const& c : cases) {
        auto cs = std::make_unique<CommandStruct>();
        EXPECT_EQ(qshell.ParseQshellCmd(c.line, cs.get()), 0) << c.line;
        EXPECT_EQ(cs->m_cmdName, c.name) << c.line;
        EXPECT_EQ(Params(*cs), c.params) << c.line;
    }
}

TEST(QshellParser, RefusesWordsOf512CharactersAndThe257thParameter) {
    std::string const word511(511, 'w');
    std::string const word512(512, 'w');
    std::string params256;
    for (int i = 0; i < 256; ++i) {
        params256 += " " + std::to_string(i);
    }
    struct Case {
        std::string line;
        int result;
        char const* errorText;
        std::string output;
    } const cases[] = {
        {"c " + word511, 0, "", ""},
        {"c " + word512, QSHELL_ERR_PARSE, "split string error", "Too long item " + word512 + "\n"},
        {"c" + params256, 0, "", ""},
        {"c" + params256 + " x", QSHELL_ERR_PARSE, "SetCommandParam error",
         "Invalid parameter count 256\n"},
    };
    for (Case const& c : cases) {
        auto cs = std::make_unique<CommandStruct>();
        int result = 0;
        EXPECT_EQ(OutputOf([&] { result = qshell.ParseQshellCmd(c.line.c_str(), cs.get()); }),
                  c.output);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(cs->m_errorText, c.errorText);
    }
}

} // namespace
