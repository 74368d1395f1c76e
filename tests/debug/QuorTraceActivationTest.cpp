#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceLevelNames.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"

namespace {

TEST(TraceActivation, EveryUnitStartsAtWarning) {
    for (unsigned unit = 0; unit < QUOR_TRACE_MAX_UNITS; ++unit) {
        ASSERT_EQ(GetTraceActivationState(unit), TRACELEVEL_WARNING) << unit;
    }
    EXPECT_EQ(GetTraceActivationState(QUOR_TRACE_MAX_UNITS), 0);
}

TEST(TraceActivation, SetTraceOnConvertsOldLevelsAndRefusesUnitsOutOfRange) {
    EXPECT_EQ(SetTraceOn(5, 2), 0);
    EXPECT_EQ(GetTraceActivationState(5), 10);
    EXPECT_EQ(SetTraceOn(5, 9), 0);
    EXPECT_EQ(GetTraceActivationState(5), 9);
    EXPECT_EQ(SetTraceOn(399, 6), 0);
    EXPECT_EQ(GetTraceActivationState(399), 60);

    EXPECT_EQ(SetTraceOn(400, 20), -1600);
    EXPECT_EQ(SetTraceOff(400), -1600);
    for (unsigned unit = 0; unit < QUOR_TRACE_MAX_UNITS; ++unit) {
        if (unit != 5 && unit != 399) {
            ASSERT_EQ(GetTraceActivationState(unit), TRACELEVEL_WARNING) << unit;
        }
    }
    EXPECT_EQ(SetTraceOff(5), 0);
    EXPECT_EQ(GetTraceActivationState(5), TRACELEVEL_NO_TRACE);
}

TEST(TraceActivation, SetTraceOnByNames) {
    EXPECT_EQ(quorTrace.SetTraceOn("trace_msg_queue", "tracelevel_debug"), 0);
    EXPECT_EQ(GetTraceActivationState(TRACE_MSG_QUEUE), TRACELEVEL_DEBUG);
    EXPECT_EQ(quorTrace.SetTraceOn("TRACE_MSG_QUEUE", "TRACELEVEL_FATAL_OLD"), 0);
    EXPECT_EQ(GetTraceActivationState(TRACE_MSG_QUEUE), TRACELEVEL_FATAL);

    // An unknown unit name (or the no-unit entry) changes nothing.
    EXPECT_EQ(quorTrace.SetTraceOn("TRACE_NO_SUCH_UNIT", "TRACELEVEL_DEBUG"), -1600);
    EXPECT_EQ(quorTrace.SetTraceOn("TRACE_NONE", "TRACELEVEL_DEBUG"), -1600);
    EXPECT_EQ(GetTraceActivationState(0), TRACELEVEL_WARNING);

    // An unknown level name traces everything.
    EXPECT_EQ(quorTrace.SetTraceOn("TRACE_TIMER", "TRACELEVEL_CHATTY"), 0);
    EXPECT_EQ(GetTraceActivationState(TRACE_TIMER), TRACELEVEL_ALL);
}

TEST(TraceActivation, AllUnitsAtOnce) {
    EXPECT_EQ(quorTrace.SetTraceOnAll(4), 0);
    for (unsigned unit = 0; unit < QUOR_TRACE_MAX_UNITS; ++unit) {
        ASSERT_EQ(GetTraceActivationState(unit), TRACELEVEL_ERROR) << unit;
    }
    EXPECT_EQ(quorTrace.SetTraceOffAll(), 0);
    for (unsigned unit = 0; unit < QUOR_TRACE_MAX_UNITS; ++unit) {
        ASSERT_EQ(GetTraceActivationState(unit), TRACELEVEL_NO_TRACE) << unit;
    }
}

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

TEST(TraceFilter, SwitchedOffUnitSuppressesEveryDefinedLevel) {
    quorTrace.StartTracingToScreen();
    SetTraceOff(TRACE_OBSERVER);
    std::string const output = ScreenOutputOf([] {
        for (T_TraceLevelName const* row = quorTraceLevelNameTable;
             row->level != TRACELEVEL_NO_TRACE; ++row) {
            TraceFormattedString(TRACE_OBSERVER, row->level, "%s\n", row->name);
        }
    });
    EXPECT_EQ(output, "");
    EXPECT_EQ(quorTraceCtr.load(), 0);
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

TEST(TraceActivationListing, OneUnit) {
    quorTrace.StartTracingToScreen();
    SetTraceOn(TRACE_MSG_QUEUE, 2);
    EXPECT_EQ(ScreenOutputOf([] { PrintTraceActivationState(TRACE_MSG_QUEUE); }),
              "Trace unit   3 TRACE_MSG_QUEUE        - Trace activation state = 10 "
              "(TRACELEVEL_DEBUG)\n");
    // Unused units are listed when asked for by number.
    EXPECT_EQ(ScreenOutputOf([] { PrintTraceActivationState(0); }),
              "Trace unit   0 TRACE_NONE             - Trace activation state = 30 "
              "(TRACELEVEL_WARNING)\n");
    EXPECT_EQ(ScreenOutputOf([] { EXPECT_EQ(quorTrace.PrintTraceActivationState(0, true), 0); }),
              "");
    EXPECT_EQ(ScreenOutputOf([] { EXPECT_EQ(PrintTraceActivationState(450), -1600); }),
              "Illegal trace unit specified\n");
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
