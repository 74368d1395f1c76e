#include <gtest/gtest.h>

#include <dirent.h>
#include <mqueue.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/RuntimeTestSupport.h"
#include "script/CCfgFileThread.h"
#include "shell/CQshell.h"
#include "util/FileTestSupport.h"

namespace {

std::mutex ranMutex;
std::vector<std::string> ran; // input lines of the recording command
std::atomic<bool> gateEntered{false};
std::atomic<bool> gateOpen{false};

int Record(CommandStruct* cs) {
    std::lock_guard<std::mutex> lock(ranMutex);
    ran.push_back(cs->m_inputLine);
    return 0;
}

int Gate(CommandStruct*) {
    gateEntered = true;
    runtime_test::WaitFor([] { return gateOpen.load(); }, 60000);
    return 0;
}

std::vector<std::string> Ran() {
    std::lock_guard<std::mutex> lock(ranMutex);
    return ran;
}

int ThreadsNamed(std::string const& name) {
    int count = 0;
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* task = tasks != nullptr ? readdir(tasks) : nullptr) {
        std::string comm;
        std::getline(std::ifstream("/proc/self/task/" + std::string(task->d_name) + "/comm"), comm);
        count += comm == name;
    }
    closedir(tasks);
    return count;
}

class CfgFileThreadTest : public testing::Test {
protected:
    void SetUp() override {
        qshell.AddQshellCmd(0, "q_help", "test", "records its line", Record, nullptr, true);
        qshell.AddQshellCmd(0, "t_gate", "test", "waits for the test", Gate, nullptr, true);
    }
    // Starts file 0, which waits at the gate before it records "q_help 0".
    void StartGatedFile() {
        ASSERT_EQ(Run(0, "QSHELL=t_gate\n"), 0);
        ASSERT_TRUE(runtime_test::WaitFor([] { return gateEntered.load(); }));
    }
    // Queues file n, which records "q_help <n>" (after the prefix).
    int Run(int n, std::string const& prefix = "") {
        std::string const path = dir / (std::to_string(n) + ".cfg");
        testfs::WriteFile(path, prefix + "QSHELL=q_help " + std::to_string(n) + "\n");
        return cfgFileThread.ExecuteCfgFileInSeparateThread(path.c_str());
    }
    testfs::TempDir dir;
};

TEST_F(CfgFileThreadTest, RunsRequestsOneAtATimeInOrderOnOneThreadAndQueue) {
    TraceCapture capture(TRACE_CFG_FILE_THREAD, TRACELEVEL_ERROR);
    StartGatedFile();
    int const handle = cfgFileThread.GetQueueHandle();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(Run(n), 0);
    }
    std::string const missing = dir / "missing.cfg";
    EXPECT_EQ(cfgFileThread.ExecuteCfgFileInSeparateThread(missing.c_str()), 0);
    // The queue holds five requests: the next is refused at once.
    EXPECT_EQ(Run(6), -1421);
    EXPECT_EQ(cfgFileThread.GetQueueHandle(), handle);
    EXPECT_EQ(ThreadsNamed("CfgFileThread"), 1);
    EXPECT_TRUE(Ran().empty());

    gateOpen = true;
    EXPECT_TRUE(runtime_test::WaitFor([] { return Ran().size() >= 5; }));
    EXPECT_EQ(Ran(), (std::vector<std::string>{"q_help 0", "q_help 1", "q_help 2", "q_help 3",
                                               "q_help 4"}));
    EXPECT_TRUE(runtime_test::WaitFor([] { return cfgFileThread.GetNrOfProcessedMsgs() == 6; }));
    EXPECT_NE(capture.Text().find(
                  "CfgFileThread::RxExecuteCfgFile() FAILED -  Cfg file not found : " + missing),
              std::string::npos)
        << capture.Text();
}

TEST_F(CfgFileThreadTest, StoppingReleasesTheRequestsStillQueued) {
    StartGatedFile();
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Run(n), 0);
    }
    cfgFileThread.StopThread();
    gateOpen = true;
    cfgFileThread.StopThreadAndWait();
    EXPECT_EQ(Ran(), (std::vector<std::string>{"q_help 0"}));
    mq_attr attr{};
    ASSERT_EQ(mq_getattr(cfgFileThread.GetQueueHandle(), &attr), 0);
    EXPECT_EQ(attr.mq_curmsgs, 0);
}

} // namespace
