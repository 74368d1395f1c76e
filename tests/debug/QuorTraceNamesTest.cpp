#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceLevelNames.h"
#include "platform/TraceUnitNames.h"

namespace {

unsigned TableEntries() {
    return *traceUnitsStringArraySizePtr / sizeof(char const*);
}

TEST(TraceLevelNames, EveryNameLooksUpToItsLevelInAnyCase) {
    for (T_TraceLevelName const* row = quorTraceLevelNameTable;; ++row) {
        EXPECT_STREQ(quorTrace.GetTraceLevelNamePtr(static_cast<unsigned>(row->level)), row->name);
        EXPECT_EQ(quorTrace.GetTraceLevelNrByName(row->name), row->level) << row->name;
        std::string lower = row->name;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(quorTrace.GetTraceLevelNrByName(lower.c_str()), row->level) << lower;
        if (row->level == TRACELEVEL_NO_TRACE) {
            break;
        }
    }
    EXPECT_STREQ(quorTrace.GetTraceLevelNamePtr(2), "TRACELEVEL_INFO_OLD");
    EXPECT_EQ(quorTrace.GetTraceLevelNrByName("TraceLevel_Warning2"), 32);
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

TEST(TraceUnitNames, PlatformTableHasTheAgreedShape) {
    unsigned const entries = TableEntries();
    ASSERT_GE(entries, 2u);
    // The last entry closes the table; the units fit the facility.
    EXPECT_LE(entries - 1, QUOR_TRACE_MAX_UNITS);
    EXPECT_STREQ(traceUnitsStringArray[0], "TRACE_NONE");
    std::set<std::string> names;
    for (unsigned unit = 0; unit + 1 < entries; ++unit) {
        ASSERT_NE(traceUnitsStringArray[unit], nullptr) << unit;
        EXPECT_TRUE(names.insert(traceUnitsStringArray[unit]).second)
            << "duplicate name " << traceUnitsStringArray[unit];
    }
    // Every unit the runtime traces under has a real name.
    for (unsigned unit :
         {TRACE_MSG_OBJECT, TRACE_MSG_QUEUE, TRACE_THREAD_OBJECT, TRACE_QUEUE_THREAD,
          TRACE_RPC_THREAD, TRACE_QSHELL, TRACE_QSHELL_CMDS, TRACE_TIMER, TRACE_CFG_FILE,
          TRACE_CPU_COMM_SRC, TRACE_CPU_COMM_DST, TRACE_OBSERVER, TRACE_QSHELL_SOCKET,
          TRACE_FILE_UTILS, TRACE_CFG_FILE_THREAD, TRACE_SYS_VAR}) {
        ASSERT_LT(unit + 1, entries);
        std::string const name = traceUnitsStringArray[unit];
        EXPECT_NE(name, "TRACE_NONE");
        EXPECT_NE(name.rfind("TRACE_G_SPARE", 0), 0u) << unit << " is a spare";
    }
}

TEST(TraceUnitNames, LookUpByNameIgnoresCaseAndFindsNoUnitForUnknownNames) {
    EXPECT_EQ(quorTrace.GetTraceUnitNrByName("TRACE_MSG_QUEUE"), 3u);
    EXPECT_EQ(quorTrace.GetTraceUnitNrByName("trace_msg_queue"), 3u);
    EXPECT_EQ(quorTrace.GetTraceUnitNrByName("Trace_Sys_Var"), 35u);
    EXPECT_EQ(quorTrace.GetTraceUnitNrByName("TRACE_NO_SUCH_UNIT"), 0u);
    EXPECT_EQ(quorTrace.GetTraceUnitNrByName(nullptr), 0u);
    // The closing entry is not a unit.
    EXPECT_EQ(quorTrace.GetTraceUnitNrByName(traceUnitsStringArray[TableEntries() - 1]), 0u);
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
