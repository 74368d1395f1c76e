#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"
#include "runtime/CThreadObjectWithQueue.h"
#include "runtime/TimeOutServer.h"
#include "runtime/TimeOutTimer.h"

namespace {

using namespace runtime_test;
using Clock = std::chrono::steady_clock;

constexpr unsigned long timerSignal = 600;

// A queue for expiry messages and the running server thread.
class TimerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(queue.Open(UniqueQueueName("timer").c_str(), nonBlocking, 0600, 10, true), 0);
        ASSERT_EQ(TimeOutServer::instance().StartThread("TimeOutServer", 0, 0), 0);
    }

    // The next expiry message within timeoutMs, or false.
    bool NextExpiry(CQuorMsg& msg, int timeoutMs) {
        return queue.usleepOnQueue(static_cast<unsigned long>(timeoutMs) * 1000) == 1 &&
               queue.Receive(&msg, 0) == 0;
    }

    CQuorMsgQueue queue;
};

long MsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST_F(TimerTest, OneHundredMillisecondTimerExpiresOnceWithItsIdAndInfo) {
    TimeOutTimer timer(100, timerSignal, queue.GetHandle(), 4711);
    auto const start = Clock::now();
    {
        TraceCapture capture(TRACE_TIMER, TRACELEVEL_DEBUG);
        timer.StartTimer();
        EXPECT_THAT(capture.Text(), HasSubstr("TimeOutTimer::StartTimer() - this = "));
    }
    EXPECT_TRUE(timer.TimerIsRunning());
    CQuorMsg msg;
    ASSERT_TRUE(NextExpiry(msg, 2000));
    long const elapsed = MsSince(start);
    EXPECT_GE(elapsed, 100);
    EXPECT_LE(elapsed, 1000) << "generous: the server polls every 50 ms";
    EXPECT_EQ(msg.m_signalName, timerSignal);
    EXPECT_EQ(msg.m_responseInfo, static_cast<int>(timer.GetTimerId()));
    EXPECT_EQ(msg.m_timerObjPtr, &timer);
    EXPECT_EQ(msg.m_callbackId, 4711);
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(msg.m_userData, 0);
    EXPECT_TRUE(TimerIsValid(&msg));
    EXPECT_FALSE(timer.TimerIsRunning());
    EXPECT_TRUE(TimerIsValid(&msg)) << "the id has not changed";
    CQuorMsg second;
    EXPECT_FALSE(NextExpiry(second, 300)) << "expires once";
    EXPECT_EQ(TimeOutServer::instance().GetNrOfTimers(), 0u);
}

// A stopped or restarted timer still expires, but its message is stale. The
// restarted timer is shorter than one started before it and expires first.
TEST_F(TimerTest, StoppedAndRestartedTimersSendStaleMessagesAndShorterOnesComeFirst) {
    TimeOutTimer slow(300, timerSignal + 3, queue.GetHandle(), 0);
    TimeOutTimer stopped(100, timerSignal, queue.GetHandle(), 0);
    TimeOutTimer restarted(100, timerSignal + 1, queue.GetHandle(), 0);
    slow.StartTimer();
    stopped.StartTimer();
    restarted.StartTimer();
    stopped.StopTimer();
    EXPECT_FALSE(stopped.TimerIsRunning());
    usleep(30000);
    restarted.StartTimer(150, timerSignal + 2, queue.GetHandle(), 2);
    std::vector<std::pair<unsigned long, bool>> expiries;
    for (CQuorMsg msg; expiries.size() < 4 && NextExpiry(msg, 2000);) {
        expiries.emplace_back(msg.m_signalName, TimerIsValid(&msg));
    }
    ASSERT_EQ(expiries.size(), 4u);
    std::sort(expiries.begin(), expiries.begin() + 2); // the two 100 ms timers in either order
    EXPECT_EQ(expiries, (std::vector<std::pair<unsigned long, bool>>{{timerSignal, false},
                                                                     {timerSignal + 1, false},
                                                                     {timerSignal + 2, true},
                                                                     {timerSignal + 3, true}}));
}

TEST_F(TimerTest, TimerWithoutQueueIsNotStartedAndAMessageWithoutTimerIsNeverValid) {
    TimeOutTimer timer(100, timerSignal, 0, 0);
    unsigned long const id = timer.GetTimerId();
    TraceCapture capture(TRACE_TIMER, TRACELEVEL_ERROR);
    timer.StartTimer();
    EXPECT_THAT(capture.Text(), HasSubstr("TimeOutTimer::StartTimer() - Timer destination queue "
                                          "not set - this = "));
    EXPECT_EQ(timer.GetTimerId(), id);
    EXPECT_FALSE(timer.TimerIsRunning());
    EXPECT_EQ(TimeOutServer::instance().GetNrOfTimers(), 0u);
    CQuorMsg msg(timerSignal);
    EXPECT_FALSE(TimerIsValid(&msg));
    EXPECT_FALSE(TimerIsValid(nullptr));
}

TEST_F(TimerTest, ExpiryToAFullQueueIsTracedAndDropped) {
    CQuorMsgQueue full;
    ASSERT_EQ(full.Open(UniqueQueueName("tfull").c_str(), nonBlocking, 0600, 1, true), 0);
    CQuorMsg filler(1);
    ASSERT_EQ(full.Send(&filler, 0), 0);
    TimeOutTimer timer(10, SIG_ID_STOP_THREAD, full.GetHandle(), 0);
    TraceCapture capture(TRACE_TIMER, TRACELEVEL_ERROR);
    timer.StartTimer();
    ASSERT_TRUE(WaitFor([] { return TimeOutServer::instance().GetNrOfTimers() == 0; }));
    EXPECT_THAT(capture.Text(),
                HasSubstr("TimeOutServer::ThreadWorkFunction() SendMsg with SignalId =  (31) to "
                          "Queue " +
                          full.GetName() + " (" + std::to_string(full.GetHandle()) +
                          ") failed. Error = -1421\n"));
}

TEST(TimerMeasurement, MeasurementAddsNothingToTheServer) {
    TimeOutTimer timer(50, timerSignal, 5, 0);
    unsigned long const id = timer.GetTimerId();
    timer.StartMeasurement();
    EXPECT_EQ(timer.GetTimerId(), id + 1);
    EXPECT_TRUE(timer.TimerIsRunning());
    usleep(20000);
    EXPECT_GE(timer.GetElapsedTime(), 19.0);
    EXPECT_LE(timer.GetRemainingTime(), 31.0);
    EXPECT_GE(timer.GetElapsedTimeInMicroSec(), 19000.0);
    EXPECT_EQ(TimeOutServer::instance().GetNrOfTimers(), 0u);
    timer.StopTimer();
    EXPECT_EQ(timer.GetTimerId(), id + 2);
}

TEST(TimerServerList, DumpListPrintsTheTimersFirstToLast) {
    auto dump = [] { return ScreenOf([] { TimeOutServer::instance().DumpList(); }); };
    EXPECT_EQ(dump(), "TimeOutServer::DumpList() called - Size = 0\n"
                      "TimeOutServer::DumpList() called - END\n");

    // The server thread is not running: timers are only collected.
    TimeOutTimer late(5000, 700, 1, 0); // any handle above 0 is taken
    TimeOutTimer early(1000, 701, 3, 0);
    TimeOutTimer middle(2500, 702, 3, 0);
    late.StartTimer();
    early.StartTimer();
    middle.StartTimer();
    EXPECT_EQ(dump(), "TimeOutServer::DumpList() called - Size = 3\n"
                      "Signal = 700, Expiry = 5000.000000\n"
                      "Signal = 702, Expiry = 2500.000000\n"
                      "Signal = 701, Expiry = 1000.000000\n"
                      "TimeOutServer::DumpList() called - END\n");
    EXPECT_EQ(TimeOutServer::instance().GetEarliestTimer().GetSignalName(), 701ul);

    TimeOutServer::instance().SortTimer();
    EXPECT_EQ(TimeOutServer::instance().GetEarliestTimer().GetSignalName(), 700ul);
}

// A queue thread that times itself with its own timer.
class SelfTimingThread : public CThreadObjectWithQueue {
public:
    ~SelfTimingThread() override { StopThreadAndWait(); }
    void BeforeProcessingMsgs() override {
        m_msgTimer.StartTimer(50, timerSignal, GetQueueHandle(), 9);
    }
    void ProcessQuorMsg(CQuorMsg* msg) override {
        if (msg->m_signalName == timerSignal && ::TimerIsValid(msg) && ++expiries < 3) {
            m_msgTimer.StartTimer();
        }
    }
    std::atomic<int> expiries{0};
};

TEST(TimerOnQueueThread, ThreadRestartsItsOwnTimerOnEachExpiry) {
    ASSERT_EQ(TimeOutServer::instance().StartThread("TimeOutServer", 0, 0), 0);
    SelfTimingThread thread;
    ASSERT_EQ(thread.Init(UniqueQueueName("self").c_str(), 5, 0600, true, true), 0);
    ASSERT_EQ(thread.StartThread("SelfTiming", 0, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return thread.expiries.load() == 3; }));
    usleep(150000);
    EXPECT_EQ(thread.expiries.load(), 3) << "no expiry after the last start";
    EXPECT_EQ(thread.GetNrOfProcessedMsgs(), 3u);
}

} // namespace
