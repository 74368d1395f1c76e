#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceCmds.h"
#include "debug/TraceTestSupport.h"
#include "runtime/RuntimeTestSupport.h"
#include "script/SILSysVars.h"
#include "shell/CQshell.h"
#include "support/PrivateTraceDirs.h"

namespace {

constexpr long defaultMaxSize = 100000000;
constexpr char stickDir[] = "/mnt/share/extUSB/sdb1/quoralog/";

class TracingToFile : public testing::Test {
protected:
    void SetUp() override {
        if (!m_dirs.Enter()) {
            GTEST_SKIP() << "needs root to mount over the trace directories";
        }
        SILCreateSysVarString(logPathVariable);
        qshell.AddQshellInternalQshellCmds();
        AddQuorTraceQshellCmds();
    }
    static std::string LogPath() {
        std::string value;
        SILGetSysVarString(logPathVariable, &value);
        return value;
    }
    // What starting prints; the result must be 0.
    static std::string Start(char const* suffix) {
        return ScreenOutputOf([&] { EXPECT_EQ(quorTrace.CheckAndStartTracingToFile(suffix), 0); });
    }

    PrivateTraceDirs m_dirs;
};

TEST_F(TracingToFile, TmpDirectoryWinsOverAStickAndTracingRestarts) {
    ASSERT_TRUE(std::filesystem::create_directories(stickDir));
    ASSERT_TRUE(std::filesystem::create_directories("/tmp/usb_logs"));
    std::string const printed = Start("_x");
    std::string const log = "/tmp/usb_logs/quortrc_x.log";
    EXPECT_NE(printed.find("CQuorTrace:: /tmp/usb_logs/ exists - activating tracing to file " +
                           log + "\n"),
              std::string::npos)
        << printed;
    EXPECT_TRUE(quorTrace.IsTracingToFile());
    EXPECT_EQ(LogPath(), "/tmp/usb_logs/");
    // No configuration file: the limit is back at once.
    EXPECT_EQ(quorTrace.GetTraceFileMaxSize(), defaultMaxSize);

    EXPECT_EQ(quorTrace.StopTracingToFile(), 0);
    EXPECT_FALSE(quorTrace.IsTracingToFile());
    EXPECT_EQ(quorTrace.StartTracingToFile(), 0);
    EXPECT_TRUE(quorTrace.IsTracingToFile());
    quorTrace.WriteToLogfile("after restart\n");
    EXPECT_EQ(quorTrace.StopTracingToFile(), 0);
    std::string const content = testfs::ReadFile(log);
    EXPECT_EQ(runtime_test::CountLines(content, "TRACING RESTARTED"), 2) << content;
    EXPECT_NE(content.find("after restart\n"), std::string::npos);
    EXPECT_FALSE(testfs::Exists(std::string(stickDir) + "quortrc_x.log"));
}

// A trace configuration file runs on the cfg-file thread; the log has no
// limit until it ran, then keeps a limit the file set or gets the saved one.
TEST_F(TracingToFile, ConfigurationFileRunsAndDecidesTheLimit) {
    struct Case {
        char const* suffix;
        char const* commands;
        long limitAfter;
    };
    Case const cases[] = {
        {"", "QSHELL=q_sleep 1\nQSHELL=q_traceon 5 10\nQSHELL=q_tracelogfilemaxsize 5000\n", 5000},
        {"_b", "QSHELL=q_sleep 1\nQSHELL=q_traceon 5 10\n", defaultMaxSize},
    };
    ASSERT_TRUE(std::filesystem::create_directories(stickDir));
    for (Case const& c : cases) {
        SCOPED_TRACE(c.commands);
        quorTrace.SetTraceFileMaxSize(defaultMaxSize);
        quorTrace.SetTraceOn(5, TRACELEVEL_WARNING);
        std::string const cfg = std::string(stickDir) + "traces" + c.suffix + ".cfg";
        testfs::WriteFile(cfg, c.commands);
        std::string const printed = Start(c.suffix);
        EXPECT_NE(printed.find("CQuorTrace:: Processing cfgfile: " + cfg + "\n"), std::string::npos)
            << printed;
        EXPECT_EQ(LogPath(), stickDir);
        // The file's first command still sleeps.
        EXPECT_EQ(quorTrace.GetTraceFileMaxSize(), 0);
        EXPECT_TRUE(runtime_test::WaitFor(
            [&] { return quorTrace.GetTraceFileMaxSize() == c.limitAfter; }, 10000));
        EXPECT_EQ(quorTrace.GetTraceActivationState(5), TRACELEVEL_DEBUG);
        EXPECT_TRUE(testfs::Exists(std::string(stickDir) + "quortrc" + c.suffix + ".log"));
        quorTrace.StopTracingToFile();
    }
}

} // namespace
