#include <gtest/gtest.h>
#include <syslog.h>

#include <map>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"
#include "support/SyslogCapture.h"

namespace {

class DirectPrint : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(quorTraceDirectPrint.load());
        quorTrace.SetTraceOnAll(TRACELEVEL_ALL);
        quorTrace.StartTracingToScreen();
    }
};

TEST_F(DirectPrint, LongMessageIsCutWithoutNewline) {
    std::string const message(3000, 'x');
    std::string const plain = ScreenOutputOf(
        [&] { TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "%s\n", message.c_str()); });
    ASSERT_EQ(plain.size(), 1998u);
    EXPECT_EQ(plain, TraceHeader(1) + std::string(1998 - TraceHeader(1).size(), 'x'));

    // The reset gets only the one character that is left.
    std::string const colored = ScreenOutputOf(
        [&] { TraceFormattedString(TRACE_TIMER, TRACELEVEL_ERROR, "%s\n", message.c_str()); });
    ASSERT_EQ(colored.size(), 1999u);
    EXPECT_EQ(colored.back(), '\033');
    EXPECT_EQ(colored[1997], 'x');
}

TEST_F(DirectPrint, NothingReachesTheScreenWhenScreenTracingIsOff) {
    quorTrace.StopTracingToScreen();
    EXPECT_EQ(ScreenOutputOf([] {
                  TraceFormattedString(TRACE_TIMER, TRACELEVEL_FATAL, "hidden\n");
                  FormattedStringToStdout("hidden %d\n", 1);
              }),
              "");
    // The line was accepted all the same.
    EXPECT_EQ(quorTraceCtr.load(), 1);
    EXPECT_EQ(ScreenOutputOf([] { quorTrace.StopTracingToScreen(); }),
              "\nCQuorTrace::StopTracingToScreen called ==!!!==\n");
}

TEST_F(DirectPrint, PlainOutputHasNoHeaderAndGoesOnlyToTheScreen) {
    std::ostringstream stream;
    stream << "stream " << 7 << "\n";
    EXPECT_EQ(ScreenOutputOf([&] {
                  FormattedStringToStdout("plain %s %d\n", "text", 5);
                  StreamToStdout(stream);
              }),
              "plain text 5\nstream 7\n");
    EXPECT_EQ(quorTraceCtr.load(), 0);

    // Not even with syslog on.
    quorTrace.SetTraceModeUseSyslog(1);
    EXPECT_EQ(ScreenOutputOf([] { FormattedStringToStdout("still here\n"); }), "still here\n");
    EXPECT_TRUE(SyslogCapture::Take().empty());

    std::string const longText(2500, 'y');
    std::string const cut =
        ScreenOutputOf([&] { FormattedStringToStdout("%s", longText.c_str()); });
    EXPECT_EQ(cut, std::string(1998, 'y'));
}

TEST_F(DirectPrint, SyslogLinesCarryPriorityAndFacilityButNoPrefixOrTimestamp) {
    quorTraceProcessPrefix.AddProcessName("player");
    quorTrace.SetTraceTimestampsOn();
    quorTrace.SetTraceModeUseSyslog(1);
    std::string const screen = ScreenOutputOf([] {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_ERROR, "failed %d\n", 3);
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "info\n");
    });
    EXPECT_EQ(screen, "");
    std::vector<SyslogLine> const lines = SyslogCapture::Take();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].priority, LOG_ERR | LOG_LOCAL0);
    EXPECT_EQ(lines[0].text, TraceHeader(1, "") + "\033[31mfailed 3\n\033[0m");
    EXPECT_EQ(lines[1].priority, LOG_INFO | LOG_LOCAL0);
    EXPECT_EQ(lines[1].text, TraceHeader(2, "") + "info\n");

    // Back on the screen, with the timestamp and the process prefix again.
    quorTrace.SetTraceModeUseSyslog(0);
    EXPECT_EQ(WithoutTimestamp(ScreenOutputOf(
                  [] { TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "back\n"); })),
              TraceHeader(3, "player ") + "back\n");
    EXPECT_TRUE(SyslogCapture::Take().empty());
}

TEST_F(DirectPrint, SyslogPriorityFollowsTheLevelBand) {
    quorTrace.SetTraceModeUseSyslog(1);
    quorSyslogFacility.store(LOG_LOCAL3);
    std::map<T_TraceLevel, int> const expected = {
        {0, LOG_NOTICE},   {1, LOG_NOTICE}, {9, LOG_NOTICE}, {10, LOG_DEBUG},
        {19, LOG_DEBUG},   {20, LOG_INFO},  {29, LOG_INFO},  {30, LOG_WARNING},
        {33, LOG_WARNING}, {40, LOG_ERR},   {49, LOG_ERR},   {50, LOG_CRIT},
        {59, LOG_CRIT},    {60, LOG_ALERT}, {69, LOG_ALERT}, {75, LOG_ALERT},
    };
    for (auto const& [level, priority] : expected) {
        TraceFormattedString(TRACE_TIMER, level, "x\n");
        std::vector<SyslogLine> const lines = SyslogCapture::Take();
        ASSERT_EQ(lines.size(), 1u) << level;
        EXPECT_EQ(lines[0].priority, priority | LOG_LOCAL3) << level;
    }
}

} // namespace
