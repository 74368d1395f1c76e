#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "script/CCfgFile.h"
#include "script/CCfgLine.h"
#include "shell/CQshell.h"
#include "util/FileTestSupport.h"

namespace {

std::vector<std::string> ran; // input lines of the recording command

int Record(CommandStruct* cs) {
    ran.push_back(cs->m_inputLine);
    return 0;
}

int RecordKeyword(char* keyword, char* keydata, char const*, int line, char termChar) {
    ran.push_back(std::to_string(line) + keyword + "=" + keydata + termChar);
    return 0;
}

TEST(CfgFile, RunsTheShellCommandsOfAFileUpToItsEndOrItsFirstFailure) {
    qshell.AddQshellCmd(0, "q_help", "test", "records its line", Record, nullptr, true);
    std::string const pad1997 = "QSHELL=q_help x #" + std::string(1997 - 17, 'p');
    struct Case {
        std::string content;
        int rc;
        std::vector<std::string> ran;
        char const* trace;
    } const cases[] = {
        {"# comment\n\n  QSHELL = q_help # show help\n", 0, {"q_help "}, ""},
        {"QSHELL=q_help a\r\n\tQSHELL\t=\tq_help b\r\n\x1A", 0, {"q_help a", "q_help b"}, ""},
        {"FOO=bar\nQSHELL q_help\nQSHELL=q_help c",
         0,
         {"q_help c"},
         "Missing equal sign in line 2 in cfg file "},
        {"FOO=bar\n", 0, {}, "Illegal keyword in cfg file "},
        {pad1997 + "\nQSHELL=q_help y", 0, {"q_help x ", "q_help y"}, ""},
        {"QSHELL=q_help a\n" + pad1997 + "p\nQSHELL=q_help y\n",
         0,
         {"q_help a"},
         "Line 1 in cfg file "},
        {"QSHELL=q_help a\nQSHELL=no_such_cmd\nQSHELL=q_help b\n", -1700, {"q_help a"}, ""},
        {"", 0, {}, ""},
    };
    testfs::TempDir dir;
    for (Case const& c : cases) {
        testfs::WriteFile(dir / "a.cfg", c.content);
        ran.clear();
        TraceCapture capture(TRACE_CFG_FILE, TRACELEVEL_WARNING);
        EXPECT_EQ(CCfgFile().ReadCfgfile((dir / "a.cfg").c_str()), c.rc) << c.content;
        EXPECT_EQ(ran, c.ran) << c.content;
        EXPECT_NE(capture.Text().find(c.trace), std::string::npos) << capture.Text();
    }
}

TEST(CfgFile, TermCharChangesTheTerminatorOfLaterLinesAndMustHaveData) {
    testfs::TempDir dir;
    testfs::WriteFile(dir / "t.cfg", "A=1\nTERM_CHAR= ;x\nB = 2 \nTERM_CHAR=\nC=3\n");
    ran.clear();
    EXPECT_EQ(CCfgFile().ReadCfgfileEx((dir / "t.cfg").c_str(), RecordKeyword, '#', ','), -2307);
    EXPECT_EQ(ran, (std::vector<std::string>{"1A=1,", "3B=2 ;"}));
}

TEST(CfgFile, MissingAndUnreadableFilesRunNothing) {
    testfs::TempDir dir;
    EXPECT_EQ(CCfgFile().ReadCfgfile((dir / "none.cfg").c_str()), -2305);
    testfs::WriteFile(dir / "locked.cfg", "FOO=bar\n");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "locked.cfg").c_str(), 0), 0);
    std::string const path = dir / "locked.cfg";
    EXPECT_EQ(testfs::RunUnprivileged(
                  [&] { return std::to_string(CCfgFile().ReadCfgfile(path.c_str())); }),
              "-2306");
}

TEST(CfgLine, SplitsItemsAndConvertsInts) {
    char text[] = "  a b , c,,d";
    CCfgLine line;
    line.SetLine(text, ',');
    std::vector<std::string> items(5);
    for (std::string& item : items) {
        line.GetNextString(&item);
    }
    EXPECT_EQ(items, (std::vector<std::string>{"a b", "c", "", "d", ""}));

    char longItems[] = "abcdef\t gh";
    char item[4];
    char* next = GetNextItemFromString(longItems, item, sizeof item, ' ');
    EXPECT_STREQ(item, "abc");
    EXPECT_STREQ(next, "gh");

    struct Case {
        char const* text;
        int rc;
        int value;
    } const cases[] = {
        {"0x1F", 0, 31},        {"12abc", 0, 12},      {"abc", -1, 0},
        {" ", -1, 0},           {"-7", 0, -7},         {"0XFFFFFFFF", 0, -1},
        {"0x100000000", -1, 0}, {"2147483648", -1, 0}, {"-2147483648", 0, INT32_MIN},
    };
    for (Case const& c : cases) {
        std::string copy = c.text;
        line.SetLine(&copy[0], ',');
        int value = 0;
        TraceCapture capture(TRACE_CFG_FILE, TRACELEVEL_INFO);
        EXPECT_EQ(line.GetNextInt(&value), c.rc) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(capture.Text().find("Int-String CONVERSION ERROR") != std::string::npos,
                  c.rc != 0 && c.text[0] != ' ')
            << capture.Text();
    }
}

} // namespace
