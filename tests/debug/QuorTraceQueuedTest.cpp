#include <gtest/gtest.h>
#include <syslog.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"
#include "support/SyslogCapture.h"

namespace {

constexpr int ringCapacity = CQuorTraceThread::nrOfTraceElements - 1;

// Lines go into the ring; the tests drive the printer themselves.
class QueuedTrace : public testing::Test {
protected:
    void SetUp() override {
        quorTrace.SetTraceModeDirectPrint(0);
        quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
        quorTrace.StartTracingToScreen();
    }
};

TEST_F(QueuedTrace, LinesWaitUntilPrintedAndKeepTheirLayout) {
    UserOutputCapture capture;
    std::string const atCall = ScreenOutputOf([] {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "first %d\n", 1);
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_WARNING, "second\n");
    });
    EXPECT_EQ(atCall, "");
    EXPECT_TRUE(quorTraceThread.IsSomethingToPrint());

    std::string const printed = ScreenOutputOf(DrainTraceRing);
    std::string const first = TraceHeader(1) + "first 1\n";
    std::string const second = TraceHeader(2) + "\033[33msecond\n\033[0m";
    EXPECT_EQ(printed, first + second);
    EXPECT_EQ(UserOutputCapture::Lines(), (std::vector<std::string>{first, second}));
    EXPECT_FALSE(quorTraceThread.IsSomethingToPrint());

    // Nothing waits: printing again outputs nothing.
    EXPECT_EQ(ScreenOutputOf([] { quorTraceThread.PrintNextTrace(); }), "");
    EXPECT_EQ(UserOutputCapture::Lines().size(), 2u);
}

TEST_F(QueuedTrace, FullRingDropsTheLineAndTheNextPrintedLineFollowsAGapMarker) {
    for (int i = 1; i <= ringCapacity; ++i) {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "line %d\n", i);
    }
    ASSERT_EQ(quorTraceThread.GetFreeTraceElement(0), nullptr);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "dropped\n");
    EXPECT_EQ(quorTraceCtr.load(), ringCapacity + 1);

    std::string const waiting = ScreenOutputOf(DrainTraceRing);
    EXPECT_EQ(waiting.find("GAP"), std::string::npos);
    EXPECT_EQ(waiting.find("dropped"), std::string::npos);
    EXPECT_NE(waiting.find(TraceHeader(1) + "line 1\n"), std::string::npos);
    EXPECT_NE(waiting.find(TraceHeader(1999) + "line 1999\n"), std::string::npos);

    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "after\n");
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), "--- GAP --- \n" + TraceHeader(2001) + "after\n");
}

TEST_F(QueuedTrace, CounterWrapsToZeroWithoutGapMarker) {
    quorTraceCtr.store(65533);
    for (int i = 0; i < 4; ++i) {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "n\n");
    }
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), TraceHeader(65534) + "n\n" + TraceHeader(65535) +
                                                  "n\n" + TraceHeader(0) + "n\n" + TraceHeader(1) +
                                                  "n\n");
}

TEST_F(QueuedTrace, LostLineIsMarkedButPlainOutputResetsTheComparison) {
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "one\n");
    quorTraceCtr.fetch_add(1); // a line that never reached the ring
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "three\n");
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing),
              TraceHeader(1) + "one\n--- GAP --- \n" + TraceHeader(3) + "three\n");

    quorTraceCtr.fetch_add(1);
    FormattedStringToStdout("plain %s\n", "output");
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "five\n");
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), "plain output\n" + TraceHeader(5) + "five\n");
}

TEST_F(QueuedTrace, CutMessageEndsInNewlineAndKeepsItsReset) {
    std::string const message(3000, 'z');
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "%s", message.c_str());
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_ERROR, "%s", message.c_str());
    UserOutputCapture capture;
    ScreenOutputOf(DrainTraceRing);
    std::vector<std::string> const lines = UserOutputCapture::Lines();
    ASSERT_EQ(lines.size(), 2u);

    std::string const header = TraceHeader(1);
    EXPECT_EQ(lines[0], header + std::string(1993 - header.size(), 'z') + "\n");

    std::string const coloredHeader = TraceHeader(2) + "\033[31m";
    EXPECT_EQ(lines[1],
              coloredHeader + std::string(1993 - coloredHeader.size(), 'z') + "\n" + "\033[0m");
}

TEST_F(QueuedTrace, PlainOutputTakesTheRingAndIsDroppedWhenItIsFull) {
    std::ostringstream stream;
    stream << "from a stream\n";
    FormattedStringToStdout("formatted %d\n", 1);
    StreamToStdout(stream);
    EXPECT_EQ(ScreenOutputOf([] {}), "");
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), "formatted 1\nfrom a stream\n");
    EXPECT_EQ(quorTraceCtr.load(), 0);

    for (int i = 0; i < ringCapacity; ++i) {
        FormattedStringToStdout("fill\n");
    }
    FormattedStringToStdout("too many\n");
    StreamToStdout(stream);
    std::string const printed = ScreenOutputOf(DrainTraceRing);
    EXPECT_EQ(printed.size(), 5u * ringCapacity);
    EXPECT_EQ(printed.find("too many"), std::string::npos);
    EXPECT_EQ(printed.find("stream"), std::string::npos);
}

TEST_F(QueuedTrace, ClearingTheRingDiscardsWaitingLines) {
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "printed\n");
    ScreenOutputOf(DrainTraceRing);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "discarded\n");
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "discarded\n");
    quorTraceThread.ClearTraceBuffer();
    EXPECT_FALSE(quorTraceThread.IsSomethingToPrint());
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "kept\n");
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), "--- GAP --- \n" + TraceHeader(4) + "kept\n");
}

TEST_F(QueuedTrace, SyslogGetsLinesWithTheirPriorityAndAGapWithoutFacility) {
    quorTraceProcessPrefix.AddProcessName("tv");
    quorTrace.SetTraceModeUseSyslog(1);
    quorTrace.SetTraceTimestampsOn();
    quorSyslogFacility.store(LOG_LOCAL5);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_DEBUG_BLUE, "blue\n");
    quorTraceCtr.fetch_add(1);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_WARNING1, "warning\n");
    FormattedStringToStdout("plain\n");
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), "");

    std::vector<SyslogLine> const lines = SyslogCapture::Take();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].priority, LOG_DEBUG | LOG_LOCAL5);
    EXPECT_EQ(WithoutTimestamp(lines[0].text), TraceHeader(1, "") + "\033[34mblue\n\033[0m");
    EXPECT_EQ(lines[1].priority, LOG_INFO);
    EXPECT_EQ(lines[1].text, "--- GAP ---\n");
    EXPECT_EQ(lines[2].priority, LOG_WARNING | LOG_LOCAL5);
    EXPECT_EQ(WithoutTimestamp(lines[2].text), TraceHeader(3, "") + "warning\n");
    EXPECT_EQ(lines[3].priority, LOG_INFO | LOG_LOCAL5);
    EXPECT_EQ(lines[3].text, "plain\n");
}

TEST_F(QueuedTrace, FatalLineHoldsTheCallerForTwoSeconds) {
    auto const start = std::chrono::steady_clock::now();
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_FATAL, "fatal\n");
    auto const elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(1900));
    EXPECT_LT(elapsed, std::chrono::seconds(10));

    // Other levels, and fatal lines printed directly, return at once.
    auto const otherStart = std::chrono::steady_clock::now();
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_FATAL + 1, "not fatal\n");
    quorTrace.SetTraceModeDirectPrint(1);
    ScreenOutputOf([] { TraceFormattedString(TRACE_TIMER, TRACELEVEL_FATAL, "direct\n"); });
    EXPECT_LT(std::chrono::steady_clock::now() - otherStart, std::chrono::milliseconds(1500));
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing),
              TraceHeader(1) + "\033[1m\033[31mfatal\n\033[0m" + TraceHeader(2) + "not fatal\n");
}

// Static destruction takes the ring with the printer thread; what is traced
// afterwards must still come out, and never through the destroyed ring.
TEST(QueuedTraceDeathTest, LinesTracedWhileTheProcessEndsArePrintedDirectly) {
    EXPECT_EXIT(
        {
            dup2(2, 1); // the screen output is what the death test reads
            quorTrace.SetTraceModeDirectPrint(0);
            quorTrace.SetTraceOn(TRACE_THREAD_OBJECT, TRACELEVEL_ALL);
            quorTrace.StartTracingToScreen();
            quorTraceThread.StartThread("QuorTrace", 0, 0);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "StopThreadAndWait\\(\\) - Thread stopped - .* = QuorTrace");
}

} // namespace
