#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "RpcTransportFixture.h"
#include "runtime/CObserverCallbackFunction.h"
#include "runtime/CQuorRpcMsgSrcPosix.h"

namespace {

using rpc_test::Destination;
using rpc_test::RpcTest;
using rpc_test::UniqueFunctionName;
using runtime_test::CountLines;
using runtime_test::MessageWithPayload;
using runtime_test::UniqueQueueName;
using runtime_test::WaitFor;

struct Record {
    unsigned char sequenceNr;
    int size;
    unsigned long physical;
};

// Sends a record as a source in another process would.
void SendRecord(std::string const& function, Record const& record) {
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    msg.m_rpcInfo[2] = record.sequenceNr;
    msg.m_signalSize = record.size;
    msg.m_signalPtr = reinterpret_cast<void*>(record.physical);
    unsigned char image[CQuorMsg::ImageSize];
    msg.WriteImage(image);
    mqd_t const queue = mq_open(("/" + function).c_str(), O_WRONLY);
    ASSERT_NE(queue, -1);
    EXPECT_EQ(mq_send(queue, reinterpret_cast<char const*>(image), sizeof image, 0), 0);
    mq_close(queue);
}

// Test message index, sent directly; the source has released its payload.
int SendDirectly(CQuorRpcMsgSrcPosix& source, unsigned seed, int index) {
    CQuorMsg msg = rpc_test::TestMessage(seed, index);
    int const rc = source.SendMsgViaRpcPosixQueue(&msg);
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    return rc;
}

int Drain(CQuorMsgQueue& queue) {
    int count = 0;
    for (CQuorMsg msg; queue.GetNrOfMsgsInQueue() > 0 && queue.Receive(&msg, 0) == 0; ++count) {
        msg.FreeSignal();
    }
    return count;
}

TEST_F(RpcTest, DestinationChecksSequenceNumbersAndDropsRecordsItCannotRead) {
    Record const unmapped = {2, 10, 0x7ff0};   // inside the segment, not allocated
    Record const outside = {2, 10, 1ul << 28}; // beyond the segment
    Record const negative = {2, -4, 64};
    struct Case {
        std::vector<Record> records;
        int delivered;
        char const* report;
        int reports;
        int sequenceReports;
    } const cases[] = {
        {{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {5, 0, 0}, {6, 0, 0}},
         5,
         "Illegal sequence nr - Messages out of order or missed - Received = 5, Expected = 4",
         1,
         1},
        {{{254, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 3, "", 0, 0},
        {{{7, 0, 0}, {8, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 4, "", 0, 0},
        {{{3, 0, 0}, {3, 0, 0}}, 2, "Received = 3, Expected = 4", 1, 1},
        // A dropped record leaves the expected number alone.
        {{{1, 0, 0}, unmapped, outside, {2, 0, 0}}, 2, "Cannot get signal ptr - Func = ", 2, 0},
        {{{1, 0, 0}, negative, {2, 0, 0}}, 2, "Illegal signal size -4 - record dropped", 1, 0},
    };
    for (auto const& c : cases) {
        Destination d(UniqueFunctionName());
        TraceCapture trace(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR);
        for (Record const& record : c.records) {
            SendRecord(d.name, record);
        }
        ASSERT_TRUE(WaitFor([&] { return d.dest.GetNrOfProcessedMsgs() == c.records.size(); }));
        EXPECT_EQ(Drain(d.observers), c.delivered);
        if (c.reports > 0) {
            EXPECT_EQ(CountLines(trace.Text(), c.report), c.reports) << trace.Text();
        }
        EXPECT_EQ(CountLines(trace.Text(), "Illegal sequence nr"), c.sequenceReports);
    }
}

TEST_F(RpcTest, SourceNumbersItsRecordsAndRefusesSignalObjects) {
    std::string const target = UniqueFunctionName();
    CQuorMsgQueue queue; // stands in for the destination's queue
    ASSERT_EQ(queue.Open(("/" + target).c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 10, true), 0);
    CQuorRpcMsgSrcPosix source;
    ASSERT_EQ(source.Init(UniqueQueueName("src").c_str(), 10, CPU_ID_MAIN, target), 0);
    EXPECT_EQ(source.GetTargetQueueName(), "/" + target);
    ASSERT_EQ(source.StartThread("RpcSource", 0, 0), 0);
    {
        TraceCapture trace(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR);
        CQuorMsg withObject = MessageWithPayload(9, 8, 0);
        EXPECT_EQ(source.SendCmd(&withObject), -1320);
        EXPECT_EQ(CountLines(trace.Text(), "Sending objects via RPC not yet supported"), 1);
    }
    int expected = 1;
    for (int i = 0; i < 300; ++i) {
        CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
        msg.m_signalSize = 5; // no payload: the size travels unchanged
        ASSERT_EQ(source.SendCmd(&msg), 0);
        ASSERT_EQ(queue.ReceiveFromNonblockingQueue(&msg, 0), 0);
        EXPECT_EQ(msg.m_rpcInfo[2], expected) << "record " << i;
        EXPECT_EQ(msg.m_signalPtr, nullptr);
        EXPECT_EQ(msg.m_signalSize, 5);
        expected = expected == 254 ? 2 : expected + 1;
    }
    EXPECT_EQ(source.GetNrOfRpcCalls(), 300u) << "the message with an object was not sent";
}

TEST_F(RpcTest, SourceDropsWhatItCannotSendAndDeliversTheNext) {
    std::string const target = UniqueFunctionName();
    CQuorRpcMsgSrcPosix source; // its thread is not needed: the test calls it directly
    ASSERT_EQ(source.Init(UniqueQueueName("src").c_str(), 10, CPU_ID_MAIN, "/" + target), 0);
    TraceCapture trace(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR);
    EXPECT_EQ(SendDirectly(source, 3, 1), -1) << "no destination yet";

    Destination d(target);
    EXPECT_EQ(SendDirectly(source, 3, 2), 0);
    CQuorMsg tooLarge(SIG_ID_MPLAYER_PLAY_REQ); // more than the shared memory holds
    tooLarge.m_signalSize = 2 << 20;
    tooLarge.m_signalPtr = ::operator new(static_cast<std::size_t>(tooLarge.m_signalSize));
    EXPECT_EQ(source.SendMsgViaRpcPosixQueue(&tooLarge), -1322);
    EXPECT_EQ(tooLarge.m_signalPtr, nullptr);
    EXPECT_EQ(SendDirectly(source, 3, 4), 0);
    for (int i : {2, 4}) {
        CQuorMsg got;
        ASSERT_EQ(d.observers.ReceiveFromNonblockingQueue(&got, 0), 0);
        EXPECT_TRUE(rpc_test::IsTestMessage(got, 3, i));
        EXPECT_EQ(got.m_rpcInfo[2], i / 2) << "failures before the send take no number";
        EXPECT_EQ(got.m_callbackId, 7);
        got.FreeSignal();
    }
    EXPECT_EQ(CountLines(trace.Text(), "Error opening target queue : /" + target), 1);
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
    std::atomic<bool> inside{false};
    std::atomic<bool> hold{true};
};

TEST_F(RpcTest, AFailedSendReleasesItsBlockAndTheNextRecordShowsTheGap) {
    BlockingObserver observer; // outlives the destination's thread
    Destination d(UniqueFunctionName());
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
        while (!sent.load()) {
            pthread_kill(self, SIGUSR1);
            usleep(20000);
        }
    });
    int const blocksQueued = CPUCommStandInBlocksInUse();
    EXPECT_EQ(SendDirectly(source, 4, 51), -1421);
    sent.store(true);
    interrupter.join();
    EXPECT_EQ(CPUCommStandInBlocksInUse(), blocksQueued) << "the failed record's block is released";

    TraceCapture trace(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR);
    observer.hold.store(false);
    ASSERT_EQ(SendDirectly(source, 4, 52), 0);
    ASSERT_TRUE(WaitFor([&] { return d.dest.GetNrOfProcessedMsgs() == 52; }));
    EXPECT_EQ(CountLines(trace.Text(), "Illegal sequence nr"), 1);
    EXPECT_EQ(CountLines(trace.Text(), "Received = 53, Expected = 52"), 1);
}

} // namespace
