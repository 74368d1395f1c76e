#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceLevelNames.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"

namespace {

TEST(TraceFilter, LineAtTheActivationLevelIsOutputOneBelowIsNotAndKeepsTheCounter) {
    quorTrace.StartTracingToScreen();
    SetTraceOn(TRACE_TIMER, TRACELEVEL_INFO2);

    auto const traced = [](T_TraceLevel level, char const* text) {
        return ScreenOutputOf([&] { TraceFormattedString(TRACE_TIMER, level, "%s", text); });
    };
    EXPECT_EQ(traced(TRACELEVEL_INFO1, "below\n"), "");
    EXPECT_EQ(quorTraceCtr.load(), 0);
    EXPECT_EQ(traced(TRACELEVEL_INFO2, "at\n"), TraceHeader(1) + "at\n");
    EXPECT_EQ(quorTraceCtr.load(), 1);
    EXPECT_EQ(traced(TRACELEVEL_ERROR, "above\n"), TraceHeader(2) + "\033[31mabove\n\033[0m");
}

TEST(TraceFilter, StreamLinesAreFilteredLikeFormattedOnes) {
    quorTrace.StartTracingToScreen();
    SetTraceOn(TRACE_CFG_FILE, TRACELEVEL_INFO);
    std::ostringstream text;
    text << "value " << 42 << " %d stays\n";
    std::string const output = ScreenOutputOf([&] {
        TraceStream(TRACE_CFG_FILE, TRACELEVEL_DEBUG, text);
        TraceStream(TRACE_CFG_FILE, TRACELEVEL_INFO, text);
    });
    EXPECT_EQ(output, TraceHeader(1) + "value 42 %d stays\n");
}

TEST(TraceFilter, UnitOutOfRangeIsReportedAndNotTraced) {
    quorTrace.StartTracingToScreen();
    std::string const expected = "Traceunit out of range: 400 (max. allowed value = 400) see "
                                 "file: applications/2_general/debug/src/QuorTrace\n";
    EXPECT_EQ(ScreenOutputOf([] { TraceFormattedString(400, TRACELEVEL_FATAL, "lost\n"); }),
              expected);
    std::ostringstream text;
    text << "lost\n";
    EXPECT_EQ(ScreenOutputOf([&] { TraceStream(400, TRACELEVEL_FATAL, text); }), expected);
    EXPECT_EQ(quorTraceCtr.load(), 0);
}

TEST(TraceActivationListing, AllUnitsLeaveOutNoneAndSpares) {
    quorTrace.StartTracingToScreen();
    SetTraceOn(TRACE_SYS_VAR, TRACELEVEL_INFO_CYAN);
    std::string const listing = ScreenOutputOf([] { PrintAllTraceActivationStates(); });

    std::istringstream lines(listing);
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_EQ(line.find("TRACE_NONE"), std::string::npos) << line;
        EXPECT_EQ(line.find("TRACE_G_SPARE"), std::string::npos) << line;
    }
    std::size_t used = 0;
    for (unsigned unit = 1; unit < QUOR_TRACE_MAX_UNITS; ++unit) {
        std::string const name = quorTrace.GetTraceUnitNamePtr(unit);
        if (name != "TRACE_NONE" && name.rfind("TRACE_G_SPARE", 0) != 0) {
            ++used;
        }
    }
    EXPECT_GT(used, 10u);
    EXPECT_EQ(count, used);
    EXPECT_NE(listing.find("Trace unit  35 TRACE_SYS_VAR          - Trace activation state = 26 "
                           "(TRACELEVEL_INFO_CYAN)\n"),
              std::string::npos);
    EXPECT_EQ(listing.rfind("Trace unit   1 TRACE_GENERAL ", 0), 0u);
}

} // namespace
