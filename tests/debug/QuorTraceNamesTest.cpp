#include <gtest/gtest.h>

#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceLevelNames.h"
#include "platform/TraceUnitNames.h"

namespace {

unsigned TableEntries() {
    return *traceUnitsStringArraySizePtr / sizeof(char const*);
}

TEST(TraceLevelNames, UnknownLevelsAndNames) {
    EXPECT_STREQ(quorTrace.GetTraceLevelNamePtr(14), "!!! ILLEGAL !!!");
    EXPECT_STREQ(quorTrace.GetTraceLevelNamePtr(71), "!!! ILLEGAL !!!");
    EXPECT_STREQ(quorTrace.GetTraceLevelNamePtr(static_cast<unsigned>(-1)), "!!! ILLEGAL !!!");
    EXPECT_EQ(quorTrace.GetTraceLevelNrByName("TRACELEVEL_VERBOSE"), TRACELEVEL_ALL);
    EXPECT_EQ(quorTrace.GetTraceLevelNrByName("TRACELEVEL_INFO "), TRACELEVEL_ALL);
    EXPECT_EQ(quorTrace.GetTraceLevelNrByName(""), TRACELEVEL_ALL);
    EXPECT_EQ(quorTrace.GetTraceLevelNrByName(nullptr), TRACELEVEL_ALL);
}

TEST(TraceUnitNames, UnitsBeyondTheTableShowTheNameOfUnitZero) {
    unsigned const entries = TableEntries();
    EXPECT_STREQ(quorTrace.GetTraceUnitNamePtr(3), "TRACE_MSG_QUEUE");
    EXPECT_STREQ(quorTrace.GetTraceUnitNamePtr(entries - 2), traceUnitsStringArray[entries - 2]);
    EXPECT_STREQ(quorTrace.GetTraceUnitNamePtr(entries - 1), "TRACE_NONE");
    EXPECT_STREQ(quorTrace.GetTraceUnitNamePtr(399), "TRACE_NONE");
    EXPECT_STREQ(quorTrace.GetTraceUnitNamePtr(100000), "TRACE_NONE");
}

} // namespace
