#include <gtest/gtest.h>

#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceCmds.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"
#include "shell/CQshell.h"

namespace {

class TraceCommands : public testing::Test {
protected:
    static void SetUpTestSuite() {
        qshell.AddQshellInternalQshellCmds();
        AddQuorTraceQshellCmds();
    }
    void SetUp() override {
        quorTrace.SetTraceModeDirectPrint(1);
        quorTrace.StartTracingToScreen();
    }

    // What a command line prints on the screen (without the shell's empty
    // line before the command runs), and its result.
    static std::string Run(std::string const& line, int* result) {
        std::string const output =
            ScreenOutputOf([&] { *result = qshell.ProcessQshellCmd(line.c_str()); });
        return output.rfind('\n', 0) == 0 ? output.substr(1) : output;
    }
};

constexpr char unitError[] = "ERROR: Parameter 1 (trace unit) is not a number or a valid name\n";
constexpr char outOfRange[] = "ERROR: Parameter 1 (trace unit) is out of range\n";

struct Case {
    char const* line;
    int result;
    char const* answer;
    unsigned unit;            // 0: no activation level to check
    T_TraceLevel level;       // the unit's activation level afterwards
    bool (*mode)() = nullptr; // a mode that the command switched on
};

TEST_F(TraceCommands, AnswerResultAndActivationLevel) {
    Case const cases[] = {
        {"q_traceon trace_TIMER tracelevel_debug", 0,
         "Trace switched on to level TRACELEVEL_DEBUG (10) for unit TRACE_TIMER (11)\n", 11, 10},
        // Old levels are stored converted but answered as given.
        {"q_traceon 5 2", 0,
         "Trace switched on to level TRACELEVEL_INFO_OLD (2) for unit TRACE_HOST (5)\n", 5, 10},
        {"q_traceon 5 NO_SUCH_LEVEL", 0,
         "Trace switched on to level TRACELEVEL_ALL (0) for unit TRACE_HOST (5)\n", 5, 0},
        {"q_traceon 5", -1601, "ERROR: Not enough parameters\n", 5, 30},
        {"q_traceon no_such_unit 10", -1602, unitError, 0, 0},
        {"q_traceon 0 10", -1602, unitError, 0, 0},
        {"q_traceon -3 10", -1602, outOfRange, 0, 0},
        {"q_traceon 450 10", -1602, outOfRange, 0, 0},
        {"q_traceoff Trace_Host", 0, "Trace switched off for unit TRACE_HOST (5)\n", 5, 70},
        {"q_traceoff", -1601, "ERROR: Parameter 1 (trace unit) is missing\n", 0, 0},
        {"q_traceoff no_such_unit", -1602, unitError, 5, 30},
        {"q_traceoff 400", -1602, outOfRange, 0, 0},
        {"q_traceonall TRACELEVEL_ERROR", 0,
         "Trace switched on for all units to TRACELEVEL_ERROR\n", 5, 40},
        {"q_traceonall 4", 0, "Trace switched on for all units to TRACELEVEL_ERROR_OLD\n", 399, 40},
        {"q_traceonall", -1601, "ERROR: Parameter 1 (trace level) is missing\n", 5, 30},
        {"q_traceoffall", 0, "All traces switched off\n", 1, 70},
        {"q_tracestate trace_host", 0,
         "Trace unit   5 TRACE_HOST             - Trace activation state = 30 "
         "(TRACELEVEL_WARNING)\n",
         0, 0},
        {"q_tracestate 0", -1602, unitError, 0, 0},
        {"q_tracestate 450", -1600, "Illegal trace unit specified\n", 0, 0},
        {"q_tracelogfilemaxsize 4096", 0, "TraceLogfileMaxSize set to 4096\n", 0, 0},
        {"q_tracelogfilemaxsize", -1601, "ERROR: Parameter 1 (TraceLogfileMaxSize) is missing\n", 0,
         0},
        {"q_tracelogfilemaxsize big", -1602,
         "ERROR: Parameter 1 (TraceLogfileMaxSize) is not a number\n", 0, 0},
        {"q_tracewithcolors on", -1602, "ERROR: Parameter 1 (TraceWithColors) is not a number\n", 0,
         0},
        {"q_tracewithcolors", -1601, "ERROR: Parameter 1 (TraceWithColors) is missing\n", 0, 0},
        {"q_tracedirectprintmode", -1601, "ERROR: Parameter 1 (DirectPrintMode) is missing\n", 0,
         0},
        {"q_tracedirectprintmode x", -1602,
         "ERROR: Parameter 1 (DirectPrintMode) is not a number\n", 0, 0},
        {"q_traceusesyslog", -1601, "ERROR: Parameter 1 (Use syslog) is missing\n", 0, 0},
        {"q_traceusesyslog yes", -1602, "ERROR: Parameter 1 (Use syslog) is not a number\n", 0, 0},
        {"q_tracewithcolors 7", 0, "TraceWithColors switched on\n", 0, 0,
         [] { return quorTraceWithColors.load(); }},
        {"q_tracewithcolors 0", 0, "TraceWithColors switched off\n", 0, 0,
         [] { return !quorTraceWithColors.load(); }},
        {"q_traceusesyslog 1", 0, "Using syslog\n", 0, 0, [] { return quorTraceUseSyslog.load(); }},
        {"q_traceusesyslog 0", 0, "Not using syslog\n", 0, 0,
         [] { return !quorTraceUseSyslog.load(); }},
        {"q_timestampson", 0, "Trace timestamps switched on\n", 0, 0,
         [] { return quorTrace.AreTimestampsOn(); }},
        {"q_timestampsoff", 0, "Trace timestamps switched off\n", 0, 0,
         [] { return !quorTrace.AreTimestampsOn(); }},
        // The answer comes before the screen goes quiet, and while it still is.
        {"q_stoptracingtoscreen", 0,
         "Stopping tracing to screen !!!\n\nCQuorTrace::StopTracingToScreen called ==!!!==\n", 0, 0,
         [] { return !quorTrace.IsTracingToScreen(); }},
        {"q_starttracingtoscreen", 0, "", 0, 0, [] { return quorTrace.IsTracingToScreen(); }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.line);
        quorTrace.SetTraceOnAll(TRACELEVEL_WARNING);
        int result = 0;
        EXPECT_EQ(Run(c.line, &result), c.answer);
        EXPECT_EQ(result, c.result);
        if (c.unit != 0) {
            EXPECT_EQ(quorTrace.GetTraceActivationState(c.unit), c.level);
        }
        EXPECT_TRUE(c.mode == nullptr || c.mode());
    }
}

// Direct print off: the answer waits in the ring like every other line.
TEST_F(TraceCommands, TraceOffAllDiscardsLinesWaitingInTheRing) {
    int result = -1;
    EXPECT_EQ(Run("q_tracedirectprintmode 0", &result), "");
    EXPECT_FALSE(quorTraceDirectPrint.load());
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_ERROR, "traced before\n");
    ASSERT_TRUE(quorTraceThread.IsSomethingToPrint());
    Run("q_traceoffall", &result);
    EXPECT_EQ(result, 0);
    // The mode command's answer waited there too and went with the rest.
    EXPECT_EQ(ScreenOutputOf(DrainTraceRing), "All traces switched off\n");
}

} // namespace
