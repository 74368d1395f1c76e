#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"
#include "util/FileTestSupport.h"

namespace {

std::string const restarted = "--- ^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^ TRACING RESTARTED "
                              "^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^ ---\n";

using testfs::ReadFile;

// Traces into a log file in a directory of its own.
class TraceLogFile : public testing::Test {
protected:
    void SetUp() override {
        quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
        quorTrace.StartTracingToScreen();
    }
    void TearDown() override { quorTrace.StopTracingToFile(); }

    int Start() {
        int result = 0;
        m_startOutput = ScreenOutputOf(
            [&] { result = quorTrace.StartTracingToFile(m_directory.c_str(), "quortrc"); });
        return result;
    }
    std::string LogPath() const { return m_directory + "quortrc.log"; }

    testfs::TempDir m_dir;
    std::string const m_directory = m_dir.Path() + "/";
    std::string m_startOutput;
};

TEST_F(TraceLogFile, DirectLinesGoToScreenAndFileUntilTracingStops) {
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(m_startOutput, "CQuorTrace:: LogFile opened : " + LogPath() + " \n\n");
    EXPECT_TRUE(quorTrace.IsTracingToFile());
    EXPECT_STREQ(quorTrace.GetLogfilePath(), m_directory.c_str());
    // Already on: nothing happens.
    EXPECT_EQ(quorTrace.StartTracingToFile("/nonexistent/", "other"), 0);

    std::string const screen = ScreenOutputOf([] {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "to both %d\n", 1);
        FormattedStringToStdout("screen only\n");
    });
    std::string const line = TraceHeader(1) + "to both 1\n";
    EXPECT_EQ(screen, line + "screen only\n");

    int result = -1;
    std::string const stopOutput = ScreenOutputOf([&] { result = quorTrace.StopTracingToFile(); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stopOutput, "CQuorTrace:: LogFile closed : " + LogPath() + " \n");
    EXPECT_FALSE(quorTrace.IsTracingToFile());
    EXPECT_EQ(quorTrace.StopTracingToFile(), 0) << "already stopped";
    ScreenOutputOf([] { TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "screen only\n"); });
    EXPECT_EQ(ReadFile(LogPath()), restarted + line);
}

// The file gets the bytes of the screen: a coloured line, a cut one whose
// reset gets the last character, and lines that end at a NUL of their own.
TEST_F(TraceLogFile, DirectLinesReachTheFileAsTheyReachTheScreen) {
    ASSERT_EQ(Start(), 0);
    std::string const longText(3000, 'x');
    std::string const screen = ScreenOutputOf([&] {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_ERROR, "coloured %d\n", 1);
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_ERROR, "%s\n", longText.c_str());
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "before%cafter\n", 0);
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_WARNING, "a%cb\n", 0);
    });
    ScreenOutputOf([&] { quorTrace.StopTracingToFile(); });
    EXPECT_EQ(ReadFile(LogPath()), restarted + screen);
    std::string const cut = TraceHeader(2) + "\033[31m";
    EXPECT_EQ(screen, TraceHeader(1) + "\033[31mcoloured 1\n\033[0m" + cut +
                          std::string(1998 - cut.size(), 'x') + "\033" + TraceHeader(3) + "before" +
                          TraceHeader(4) + "\033[33ma\033[0m");
}

TEST_F(TraceLogFile, DirectLinesStayOutOfTheFileWhenSoConfigured) {
    quorTrace.SetTraceModeWriteToLogfileIfDirectPrint(0);
    static unsigned initialInfoCalls = 0;
    quorTrace.SetInitialInfoWhenTracingToFileStartsFunction([] { ++initialInfoCalls; });
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(initialInfoCalls, 1u);
    ScreenOutputOf([] { TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "not logged\n"); });
    ScreenOutputOf([&] { quorTrace.StopTracingToFile(); });
    EXPECT_EQ(
        ReadFile(LogPath()),
        restarted +
            "\n--- !!! Traces are NOT logged to this file as direct printing is enabled !!! ---\n");
}

TEST_F(TraceLogFile, PrinterWritesQueuedLinesGapsAndPlainOutput) {
    quorTrace.SetTraceModeDirectPrint(0);
    ASSERT_EQ(Start(), 0);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "one\n");
    quorTraceCtr.fetch_add(1);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "three\n");
    FormattedStringToStdout("plain\n");
    std::string const screen = ScreenOutputOf(DrainTraceRing);
    std::string const expected =
        TraceHeader(1) + "one\n" + "--- GAP --- \n" + TraceHeader(3) + "three\nplain\n";
    EXPECT_EQ(screen, expected);
    ScreenOutputOf([&] { quorTrace.StopTracingToFile(); });
    EXPECT_EQ(ReadFile(LogPath()), restarted + TraceHeader(1) + "one\n--- GAP ---\n" +
                                       TraceHeader(3) + "three\nplain\n");
}

TEST_F(TraceLogFile, MissingDirectoryIsReportedAndLeavesFileTracingOff) {
    std::string const missing = m_directory + "missing/";
    int result = 0;
    std::string const output =
        ScreenOutputOf([&] { result = quorTrace.StartTracingToFile(missing.c_str(), "quortrc"); });
    EXPECT_EQ(result, -1001);
    EXPECT_EQ(output, "\nCQuorTrace:: LogFile open error " + missing +
                          "quortrc.log : Error code: -1001 ===============\n");
    EXPECT_FALSE(quorTrace.IsTracingToFile());
}

// A log that cannot be rotated (its backup name is taken by a directory)
// fails on the write that needs the rotation.
void MakeRotationFail(std::string const& directory) {
    std::filesystem::create_directory(directory + "quortrc.bak");
    std::ofstream(directory + "quortrc.bak/keep") << "x";
    quorTrace.SetTraceFileMaxSize(200);
}

// Printed directly (true) or by the printer (false).
class TraceLogFileFailure : public TraceLogFile, public testing::WithParamInterface<bool> {};

TEST_P(TraceLogFileFailure, AWriteFailureEndsFileTracingButNotTheScreen) {
    MakeRotationFail(m_directory);
    quorTrace.SetTraceModeDirectPrint(GetParam() ? 1 : 0);
    ASSERT_EQ(Start(), 0);
    UserOutputCapture capture;
    std::string const longMessage(150, 'w');
    std::string output = ScreenOutputOf([&] {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "%s\n", longMessage.c_str());
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "still on screen\n");
    });
    if (!GetParam()) {
        EXPECT_EQ(output, "");
        output = ScreenOutputOf(DrainTraceRing);
    }
    EXPECT_EQ(output, TraceHeader(1) + longMessage + "\n" +
                          "\n-- m_LogFile.WriteStringToLogfile -- Error = -1007  (Writing to "
                          "logfile is disabled now)\n" +
                          TraceHeader(2) + "still on screen\n");
    EXPECT_FALSE(quorTrace.IsTracingToFile());
    EXPECT_EQ(ReadFile(LogPath()), restarted);
    EXPECT_EQ(UserOutputCapture::Lines().size(), GetParam() ? 0u : 2u);
}

INSTANTIATE_TEST_SUITE_P(DirectAndQueued, TraceLogFileFailure, testing::Bool(),
                         [](testing::TestParamInfo<bool> const& info) {
                             return info.param ? "Direct" : "Printer";
                         });

TEST_F(TraceLogFile, FullLogRotatesIntoTheBackup) {
    quorTrace.SetTraceFileMaxSize(350);
    ASSERT_EQ(Start(), 0);
    std::string const message(100, 'r');
    ScreenOutputOf([&] {
        for (int i = 0; i < 3; ++i) {
            TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "%s\n", message.c_str());
        }
    });
    ScreenOutputOf([&] { quorTrace.StopTracingToFile(); });
    // Counted: 92 for the restart line, 121 for each trace line; the third
    // line no longer fits.
    EXPECT_EQ(ReadFile(m_directory + "quortrc.bak"),
              restarted + TraceHeader(1) + message + "\n" + TraceHeader(2) + message + "\n");
    EXPECT_EQ(ReadFile(LogPath()), TraceHeader(3) + message + "\n");
}

} // namespace
