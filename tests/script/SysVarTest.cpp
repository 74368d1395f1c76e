#include <gmock/gmock.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "script/SILSysVars.h"
#include "support/TraceCapture.h"

namespace {

TEST(SysVar, CreateSetAndGetGiveTheirResultsAndTraces) {
    // Each step's traces from `level` on; "" when nothing may come out.
    struct Step {
        int (*call)();
        int result;
        T_TraceLevel level;
        char const* trace;
    } const steps[] = {
        {[] { return SILSetSysVarString("v", "early"); }, -1, TRACELEVEL_ERROR,
         "SILSetSysVarString() - Variable does not exist - v\n"},
        {[] { return SILCreateSysVarString("v"); }, 0, TRACELEVEL_DEBUG,
         "SILCreateSysVarString() - Variable created - v\n"},
        {[] { return SILSetSysVarString("v", "kept"); }, 0, TRACELEVEL_DEBUG,
         "SILSetSysVarString() - v = kept\n"},
        {[] { return SILCreateSysVarString("v"); }, -1, TRACELEVEL_ERROR,
         "SILCreateSysVarString() - Variable already exists - v\n"},
        {[] { return SILSetSysVarInt("v", 3); }, -1, TRACELEVEL_ERROR,
         "SILSetSysVarInt() - Variable does not exist - v\n"},
        {[] { return SILGetSysVarInt("v"); }, -1, TRACELEVEL_ERROR,
         "SILGetSysVarInt() - Variable does not exist - v\n"},
        {[] { return SILCreateSysVarInt("v"); }, 0, TRACELEVEL_DEBUG,
         "SILCreateSysVarInt() - Variable created - v\n"},
        {[] { return SILSetSysVarInt("v", -1); }, 0, TRACELEVEL_DEBUG,
         "SILSetSysVarInt() - v = -1\n"},
        {[] { return SILGetSysVarInt("v"); }, -1, TRACELEVEL_DEBUG, "SILGetSysVarInt() - v = -1\n"},
        {[] { return SILGetSysVarInt("v"); }, -1, TRACELEVEL_ERROR, ""}, // a stored -1
        {[] { return SILCreateSysVarInt("v"); }, -1, TRACELEVEL_ERROR,
         "SILCreateSysVarInt() - Variable already exists - v\n"},
    };
    for (Step const& step : steps) {
        TraceCapture trace(TRACE_SYS_VAR, step.level);
        EXPECT_EQ(step.call(), step.result) << step.trace;
        EXPECT_EQ(trace.Text().empty(), *step.trace == '\0') << step.trace;
        EXPECT_THAT(trace.Text(), testing::HasSubstr(step.trace));
    }
    std::string value;
    EXPECT_EQ(SILGetSysVarString("v", &value), 0);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(SILGetSysVarString("V", &value), -1); // names are exact
}

TEST(SysVar, ManyThreadsCreateSetAndReadAtOnce) {
    constexpr int kRounds = 2000;
    std::atomic<int> created{0};
    std::atomic<int> badReads{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::string const own = "own" + std::to_string(t);
            SILCreateSysVarString(own);
            created += SILCreateSysVarInt("shared") == 0 ? 1 : 0;
            for (int i = 0; i < kRounds; ++i) {
                SILSetSysVarInt("shared", i);
                SILSetSysVarString(own, std::to_string(i));
                std::string text;
                badReads += SILGetSysVarString(own, &text) != 0 || text != std::to_string(i) ||
                            SILGetSysVarInt("shared") < 0;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(created.load(), 1);
    EXPECT_EQ(badReads.load(), 0);
    EXPECT_EQ(SILGetSysVarInt("shared"), kRounds - 1);
}

} // namespace
