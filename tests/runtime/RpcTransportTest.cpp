#include <pthread.h>
#include <signal.h>

#include <thread>

#include "RpcTestSupport.h"
#include "runtime/CObserverCallbackFunction.h"
#include "runtime/CQuorRpcMsgSrcPosix.h"

namespace {

using rpc_test::Destination;
using rpc_test::RpcTest;
using runtime_test::CountLines;
using runtime_test::UniqueQueueName;
using runtime_test::WaitFor;

struct Record {
    unsigned char nr;
    int size = 0;
    unsigned long physical = 0;
};

// Test message index, sent directly; the source has released its payload.
int SendDirectly(CQuorRpcMsgSrcPosix& source, unsigned seed, int index) {
    CQuorMsg msg = rpc_test::TestMessage(seed, index);
    int const rc = source.SendMsgViaRpcPosixQueue(&msg);
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    return rc;
}

TEST_F(RpcTest, DestinationChecksSequenceNumbersAndDropsRecordsItCannotRead) {
    Record const unmapped{2, 10, 0x7ff0};   // inside the segment, not allocated
    Record const outside{2, 10, 1ul << 28}; // beyond the segment
    struct Case {
        std::vector<Record> records;
        int delivered;
        char const* report; // and how often
        int reports, sequenceReports;
    } const cases[] = {
        {{{1}, {2}, {3}, {5}, {6}}, 5, "out of order or missed - Received = 5, Expected = 4", 1, 1},
        {{{254}, {2}, {3}}, 3, nullptr, 0, 0},
        {{{7}, {8}, {1}, {2}}, 4, nullptr, 0, 0},
        {{{3}, {3}}, 2, "Received = 3, Expected = 4", 1, 1},
        // A dropped record leaves the expected number alone.
        {{{1}, unmapped, outside, {2}}, 2, "Cannot get signal ptr - Func = ", 2, 0},
        {{{1}, {2, -4, 64}, {2}}, 2, "Illegal signal size -4 - record dropped", 1, 0},
    };
    for (auto const& c : cases) {
        Destination d;
        TraceCapture trace(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR);
        mqd_t const queue = mq_open(("/" + d.name).c_str(), O_WRONLY); // as another process
        for (Record const& record : c.records) {
            CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
            msg.m_rpcInfo[2] = record.nr;
            msg.m_signalSize = record.size;
            msg.m_signalPtr = reinterpret_cast<void*>(record.physical);
            EXPECT_EQ(CQuorMsgQueue::Send(queue, &msg, 0), 0);
        }
        mq_close(queue);
        ASSERT_TRUE(WaitFor([&] { return d.dest.GetNrOfProcessedMsgs() == c.records.size(); }));
        EXPECT_EQ(d.observers.GetNrOfMsgsInQueue(), c.delivered); // none with a payload
        if (c.reports > 0) {
            EXPECT_EQ(CountLines(trace.Text(), c.report), c.reports);
        }
        EXPECT_EQ(CountLines(trace.Text(), "Illegal sequence nr"), c.sequenceReports);
    }
}

TEST_F(RpcTest, SourceNumbersItsRecordsAndDropsWhatItCannotSend) {
    std::string const target = UniqueQueueName("rpc").substr(1);
    CQuorRpcMsgSrcPosix source; // no thread: the test calls it directly
    ASSERT_EQ(source.Init(UniqueQueueName("src").c_str(), 10, CPU_ID_MAIN, "/" + target), 0);
    TraceCapture trace(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR);
    EXPECT_EQ(SendDirectly(source, 3, 0), -1) << "no destination yet";
    Destination d(target);
    CQuorMsg withObject = runtime_test::MessageWithPayload(9, 8, 0);
    EXPECT_EQ(source.SendCmd(&withObject), -1320);
    CQuorMsg tooLarge(SIG_ID_MPLAYER_PLAY_REQ); // more than the shared memory holds
    tooLarge.m_signalSize = 2 << 20;
    tooLarge.m_signalPtr = ::operator new(static_cast<std::size_t>(tooLarge.m_signalSize));
    EXPECT_EQ(source.SendMsgViaRpcPosixQueue(&tooLarge), -1322);
    EXPECT_EQ(tooLarge.m_signalPtr, nullptr);
    // None of them took a number: 1, 2, ..., 254, 2, ...
    for (int i = 1, expected = 1; i <= 300; ++i, expected = expected == 254 ? 2 : expected + 1) {
        ASSERT_EQ(SendDirectly(source, 3, i), 0);
        CQuorMsg got;
        ASSERT_EQ(d.observers.ReceiveFromNonblockingQueue(&got, 0), 0);
        EXPECT_TRUE(rpc_test::IsTestMessage(got, 3, i)) << i;
        EXPECT_EQ(got.m_rpcInfo[2], expected) << i;
        EXPECT_EQ(got.m_callbackId, 7);
        got.FreeSignal();
    }
    EXPECT_EQ(CountLines(trace.Text(), "Error opening target queue : /" + target), 1);
    EXPECT_EQ(CountLines(trace.Text(), "Sending objects via RPC not yet supported"), 1);
    EXPECT_EQ(CountLines(trace.Text(), "Chip_Util_CPUComm_Malloc failed, function = /"), 1);
}

// Holds the destination's thread inside its first notification.
struct BlockingObserver : CObserverCallbackFunction {
    void Callback(CQuorMsg* msg) override {
        msg->FreeSignal();
        inside.store(true);
        while (hold.load()) {
            usleep(1000);
        }
    }
    std::atomic<bool> inside{false}, hold{true};
};

TEST_F(RpcTest, AFailedSendReleasesItsBlockAndTheNextRecordShowsTheGapToTheNextDestination) {
    BlockingObserver observer; // outlives the destination's thread
    Destination d;
    d.dest.DeleteObserversWithCallbackQueue();
    d.dest.RegisterCallbackFunction(observer, 0, 0, 0);
    CQuorRpcMsgSrcPosix source;
    ASSERT_EQ(source.Init(UniqueQueueName("src").c_str(), 10, CPU_ID_MAIN, d.name), 0);
    ASSERT_EQ(SendDirectly(source, 4, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return observer.inside.load(); }));
    for (int i = 1; i <= 50; ++i) { // fills the destination's queue
        ASSERT_EQ(SendDirectly(source, 4, i), 0);
    }
    // The next send waits for room until a signal interrupts it.
    struct sigaction interrupt {};
    interrupt.sa_handler = [](int) {};
    sigaction(SIGUSR1, &interrupt, nullptr);
    std::atomic<bool> sent{false};
    std::thread interrupter([&sent, self = pthread_self()] {
        for (; !sent.load(); usleep(20000)) {
            pthread_kill(self, SIGUSR1);
        }
    });
    int const blocksQueued = CPUCommStandInBlocksInUse();
    EXPECT_EQ(SendDirectly(source, 4, 51), -1421);
    sent.store(true);
    interrupter.join();
    EXPECT_EQ(CPUCommStandInBlocksInUse(), blocksQueued) << "the failed record's block is released";
    // Stopped now, the destination leaves the 50 waiting records to the next one.
    d.dest.StopThread();
    observer.hold.store(false);
    d.dest.StopThreadAndWait();
    Destination next(d.name);
    TraceCapture trace(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR);
    ASSERT_EQ(SendDirectly(source, 4, 52), 0);
    ASSERT_TRUE(WaitFor([&] { return next.dest.GetNrOfProcessedMsgs() == 51; }));
    EXPECT_EQ(CountLines(trace.Text(), "Illegal sequence nr"), 1);
    EXPECT_EQ(CountLines(trace.Text(), "Received = 53, Expected = 52"), 1);
}

} // namespace
