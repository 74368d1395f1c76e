#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "script/SILSysVars.h"
#include "support/TraceCapture.h"

using testing::HasSubstr;

namespace {

// Runs one call with the unit's traces from `level` on captured.
template <typename Call> std::string Traced(T_TraceLevel level, Call call, int* result) {
    TraceCapture trace(TRACE_SYS_VAR, level);
    *result = call();
    return trace.Text();
}

TEST(SysVar, CreateSetAndGetGiveTheirResultsAndTraces) {
    struct Step {
        char const* what;
        int (*call)();
        int result;
        T_TraceLevel level; // traces from this level on are captured
        char const* trace;  // "" when nothing may come out
    } const steps[] = {
        {"set before create", [] { return SILSetSysVarString("sv.s", "early"); }, -1,
         TRACELEVEL_ERROR, "SILSetSysVarString() - Variable does not exist - sv.s"},
        {"create", [] { return SILCreateSysVarString("sv.s"); }, 0, TRACELEVEL_DEBUG,
         "SILCreateSysVarString() - Variable created - sv.s"},
        {"set", [] { return SILSetSysVarString("sv.s", "kept"); }, 0, TRACELEVEL_DEBUG,
         "SILSetSysVarString() - sv.s = kept"},
        {"create twice", [] { return SILCreateSysVarString("sv.s"); }, -1, TRACELEVEL_ERROR,
         "SILCreateSysVarString() - Variable already exists - sv.s"},
        {"int missing", [] { return SILGetSysVarInt("sv.s"); }, -1, TRACELEVEL_ERROR,
         "SILGetSysVarInt() - Variable does not exist - sv.s"},
        {"int set missing", [] { return SILSetSysVarInt("sv.s", 3); }, -1, TRACELEVEL_ERROR,
         "SILSetSysVarInt() - Variable does not exist - sv.s"},
        {"int create", [] { return SILCreateSysVarInt("sv.s"); }, 0, TRACELEVEL_DEBUG,
         "SILCreateSysVarInt() - Variable created - sv.s"},
        {"int created as 0", [] { return SILGetSysVarInt("sv.s"); }, 0, TRACELEVEL_DEBUG,
         "SILGetSysVarInt() - sv.s = 0"},
        {"int set -1", [] { return SILSetSysVarInt("sv.s", -1); }, 0, TRACELEVEL_DEBUG,
         "SILSetSysVarInt() - sv.s = -1"},
        {"stored -1 is no error", [] { return SILGetSysVarInt("sv.s"); }, -1, TRACELEVEL_ERROR, ""},
        {"int create twice", [] { return SILCreateSysVarInt("sv.s"); }, -1, TRACELEVEL_ERROR,
         "SILCreateSysVarInt() - Variable already exists - sv.s"},
        {"names are exact", [] { return SILGetSysVarInt("SV.S"); }, -1, TRACELEVEL_ERROR,
         "SILGetSysVarInt() - Variable does not exist - SV.S"},
    };
    for (Step const& step : steps) {
        int result = 0;
        std::string const text = Traced(step.level, step.call, &result);
        EXPECT_EQ(result, step.result) << step.what;
        if (*step.trace == '\0') {
            EXPECT_EQ(text, "") << step.what;
        } else {
            EXPECT_THAT(text, HasSubstr(step.trace)) << step.what;
        }
    }
    // The string survived the second create and the int of the same name.
    std::string value = "untouched";
    EXPECT_EQ(SILGetSysVarString("sv.s", &value), 0);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(SILGetSysVarString("sv.none", &value), -1);
    EXPECT_EQ(value, "kept");
    EXPECT_EQ(sysVarStringMap.count("sv.none") + sysVarIntMap.count("sv.none"), 0u);
}

TEST(SysVar, ManyThreadsCreateSetAndReadAtOnce) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    std::atomic<int> createdInts{0};
    std::atomic<int> badReads{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::string const own = "sv.thread" + std::to_string(t);
            SILCreateSysVarString(own);
            createdInts += SILCreateSysVarInt("sv.shared") == 0 ? 1 : 0;
            for (int i = 0; i < kRounds; ++i) {
                SILSetSysVarInt("sv.shared", i);
                SILSetSysVarString(own, std::to_string(i));
                std::string text;
                if (SILGetSysVarString(own, &text) != 0 || text != std::to_string(i) ||
                    SILGetSysVarInt("sv.shared") < 0) {
                    ++badReads;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(createdInts.load(), 1);
    EXPECT_EQ(badReads.load(), 0);
    EXPECT_EQ(SILGetSysVarInt("sv.shared"), kRounds - 1);
}

} // namespace
