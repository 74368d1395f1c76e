#include <fcntl.h>

#include <mutex>
#include <vector>

#include "RuntimeTestSupport.h"
#include "runtime/CThreadObjectWithQueue.h"
#include "runtime/CThreadObjectWithQueueRpc.h"

namespace {

using namespace runtime_test;

// Records the signals it processes; can be held inside ProcessQuorMsg.
template <typename Base> class Recorder : public Base {
public:
    ~Recorder() override { this->StopThreadAndWait(); }

    void ProcessQuorMsg(CQuorMsg* msg) override {
        inside.store(true);
        while (hold.load()) {
            usleep(1000);
        }
        {
            std::lock_guard<std::mutex> lock(signalsMutex);
            signals.push_back(msg->m_signalName);
        }
        msg->FreeSignal();
        inside.store(false);
    }
    void BeforeProcessingMsgs() override { before.fetch_add(1); }

    std::vector<unsigned long> Signals() {
        std::lock_guard<std::mutex> lock(signalsMutex);
        return signals;
    }

    std::atomic<bool> hold{false};
    std::atomic<bool> inside{false};
    std::atomic<int> before{0};

private:
    std::mutex signalsMutex;
    std::vector<unsigned long> signals;
};
using QueueThread = Recorder<CThreadObjectWithQueue>;
using RpcThread = Recorder<CThreadObjectWithQueueRpc>;

class QueueThreadTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CountedObject::live.load(), 0) << "a payload leaked"; }
};

TEST_F(QueueThreadTest, ProcessesEveryMessageInOrderAndReleasesTheRestOnStop) {
    QueueThread thread;
    ASSERT_EQ(thread.Init(UniqueQueueName("qt").c_str(), 20, 0600, true, true), 0);
    EXPECT_EQ(thread.GetThreadType(), 2);
    ASSERT_EQ(thread.StartThread("QueueThread", 0, 0), 0);
    for (unsigned long signal = 100; signal < 110; ++signal) {
        CQuorMsg msg = MessageWithPayload(signal, 32, 1);
        ASSERT_EQ(thread.SendCmd(&msg), 0);
        EXPECT_EQ(msg.m_signalPtr, nullptr);
    }
    ASSERT_TRUE(WaitFor([&] { return thread.GetNrOfProcessedMsgs() == 10; }));
    EXPECT_EQ(thread.Signals(),
              (std::vector<unsigned long>{100, 101, 102, 103, 104, 105, 106, 107, 108, 109}));
    EXPECT_EQ(thread.before.load(), 1);
    thread.StopThreadAndWait();
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.GetNrOfProcessedMsgs(), 10u) << "the stop message is not counted";
}

TEST_F(QueueThreadTest, StopWithTwoMessagesWaitingBehindTheCurrentOne) {
    QueueThread thread;
    ASSERT_EQ(thread.Init(UniqueQueueName("stop").c_str(), 10, 0600, true, true), 0);
    ASSERT_EQ(thread.StartThread("Stopper", 0, 0), 0);
    thread.hold.store(true);
    CQuorMsg first = MessageWithPayload(201, 8, 1);
    ASSERT_EQ(thread.SendCmd(&first), 0);
    ASSERT_TRUE(WaitFor([&] { return thread.inside.load(); }));
    for (unsigned long signal : {202ul, 203ul}) {
        CQuorMsg msg = MessageWithPayload(signal, 8, 1);
        ASSERT_EQ(thread.SendCmd(&msg), 0);
    }
    EXPECT_EQ(CountedObject::live.load(), 3);

    std::thread stopper([&] { thread.StopThreadAndWait(); });
    // The stop message queues up behind the two waiting messages.
    CQuorMsgQueue* const queue = CQuorMsgQueue::GetQueueObjPtrByHandle(thread.GetQueueHandle());
    EXPECT_TRUE(WaitFor([&] { return thread.StopRequested(); }));
    thread.hold.store(false);
    stopper.join();
    ASSERT_NE(queue, nullptr);

    EXPECT_EQ(thread.Signals(), std::vector<unsigned long>{201});
    EXPECT_EQ(thread.GetNrOfProcessedMsgs(), 1u);
    EXPECT_EQ(CountedObject::live.load(), 0) << "the waiting messages were released";
    EXPECT_EQ(queue->GetNrOfMsgsInQueue(), 0) << "the stop message went with them";
}

// A second stop leaves no stop message behind; messages sent while the thread
// is stopped wait for the restart.
TEST_F(QueueThreadTest, StopWakesAWaitingThreadWhichRestartsAndKeepsMessagesSentMeanwhile) {
    QueueThread thread;
    ASSERT_EQ(thread.Init(UniqueQueueName("wake").c_str(), 10, 0600, true, true), 0);
    ASSERT_EQ(thread.StartThread("Waiter", 0, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return thread.before.load() == 1; }));
    usleep(20000);
    {
        TraceCapture capture(TRACE_QUEUE_THREAD, TRACELEVEL_INFO2);
        thread.StopThread();
        ASSERT_TRUE(WaitFor([&] { return !thread.IsRunning(); }));
        EXPECT_THAT(capture.Text(), HasSubstr("CThreadObjectWithQueue::StopThread() - Sending "
                                              "SIG_ID_STOP_THREAD\n"));
        EXPECT_THAT(capture.Text(),
                    HasSubstr("CThreadObjectWithQueue::Received SIG_ID_STOP_THREAD - Thread-Id = " +
                              std::to_string(thread.GetThreadId()) + "\n"));
    }
    EXPECT_EQ(thread.GetNrOfProcessedMsgs(), 0u);
    thread.StopThreadAndWait();
    CQuorMsg msg(300);
    ASSERT_EQ(thread.SendCmd(&msg), 0);
    ASSERT_EQ(thread.StartThread("Waiter", 0, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return thread.GetNrOfProcessedMsgs() == 1; }));
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(thread.Signals(), std::vector<unsigned long>{300});
}

TEST_F(QueueThreadTest, UninitialisedThreadRefusesToStartAndToTakeMessages) {
    QueueThread thread;
    EXPECT_EQ(thread.Init("bad/name", 5, 0600, true, true), -1418);
    EXPECT_FALSE(thread.IsInitialized());
    CQuorMsg msg = MessageWithPayload(400, 8, 1);
    CQuorMsg stop = MessageWithPayload(SIG_ID_STOP_THREAD, 8, 1);
    TraceCapture capture(TRACE_QUEUE_THREAD, TRACELEVEL_ERROR);
    EXPECT_EQ(thread.StartThread("NoInit", 0, 0), -1111);
    EXPECT_EQ(thread.SendCmd(&msg), -1110);
    EXPECT_EQ(thread.SendCmd(&stop), 0) << "a stop message is dropped silently";
    std::string const out = capture.Text();
    EXPECT_THAT(out, HasSubstr("CThreadObjectWithQueue::StartThread() Thread not started, as "
                               "object is not initialized - Name: NoInit\n"));
    EXPECT_EQ(CountLines(out, "CThreadObjectWithQueue::SendCmd when not initialized - Calling "
                              "thread id = 0x"),
              1);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_STREQ(CThreadObject::GetThreadName(0), "(unknown)");
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(CountedObject::live.load(), 0);
}

TEST_F(QueueThreadTest, IncompleteNamesGiveEveryObjectItsOwnQueue) {
    QueueThread first;
    QueueThread second;
    std::string const base = UniqueQueueName("shared");
    ASSERT_EQ(first.Init(base.c_str(), 5, 0600, false, true), 0);
    ASSERT_EQ(second.Init(base.c_str(), 5, 0600, false, true), 0);
    EXPECT_NE(first.GetQueueName(), second.GetQueueName());
    EXPECT_EQ(first.GetQueueName().rfind(base, 0), 0u);
    EXPECT_NE(first.GetQueueHandle(), second.GetQueueHandle());
    EXPECT_FALSE(QueueTypeIsBlocking(first.GetQueueHandle())) << "input queues never block";
}

TEST_F(QueueThreadTest, RpcThreadTracesItsSends) {
    RpcThread thread;
    ASSERT_EQ(thread.Init(UniqueQueueName("rpc").c_str(), 5, 0600, true, true), 0);
    EXPECT_EQ(thread.GetThreadType(), 4);
    EXPECT_FALSE(thread.CheckForLostMsgs(nullptr, "x"));
    ASSERT_EQ(thread.StartThread("Rpc", 0, 0), 0);
    CQuorMsg msg(SIG_ID_MPLAYER_OPEN_REQ);
    TraceCapture capture(TRACE_RPC_THREAD, TRACELEVEL_DEBUG);
    EXPECT_EQ(thread.SendCmd(&msg), 0);
    EXPECT_THAT(capture.Text(), HasSubstr("CThreadObjectWithQueueRpc::SendCmd() called - msg = "
                                          "SIG_ID_MPLAYER_OPEN_REQ\n"));
    ASSERT_TRUE(WaitFor([&] { return thread.GetNrOfProcessedMsgs() == 1; }));
}

TEST_F(QueueThreadTest, StopAllThreadsSendsTheStopMessageToQueueThreads) {
    QueueThread thread;
    ASSERT_EQ(thread.Init(UniqueQueueName("all").c_str(), 5, 0600, true, true), 0);
    ASSERT_EQ(thread.StartThread("All", 0, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return thread.before.load() == 1; }));
    CThreadObject::StopAllThreads(); // would hang if the waiting thread were not woken
    EXPECT_FALSE(thread.IsRunning());
    CThreadObject::Start();
}

} // namespace
