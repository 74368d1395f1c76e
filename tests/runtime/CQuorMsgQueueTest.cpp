#include <fcntl.h>
#include <mqueue.h>

#include <cstdio>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

using namespace runtime_test;

class QueueTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(queue.Open(name.c_str(), nonBlocking, 0600, 10, true), 0); }
    void TearDown() override { EXPECT_EQ(CountedObject::live.load(), 0) << "a payload leaked"; }

    std::string name = UniqueQueueName("q");
    CQuorMsgQueue queue;
};

TEST_F(QueueTest, MessageTravelsWithEveryFieldAndItsPayload) {
    mq_attr attr{};
    ASSERT_EQ(queue.Getattr(&attr), 0);
    EXPECT_EQ(attr.mq_msgsize, static_cast<long>(CQuorMsg::ImageSize));
    EXPECT_EQ(attr.mq_maxmsg, 10);
    EXPECT_NE(attr.mq_flags & O_NONBLOCK, 0);

    CQuorMsg sent = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 12, 0x5C);
    sent.m_userData = -4;
    void* const payload = sent.m_signalPtr;
    CSignalObject* const object = sent.m_objPtr;
    ASSERT_EQ(CQuorMsgQueue::Send(queue.GetHandle(), &sent, 0), 0);
    EXPECT_EQ(sent.m_signalPtr, nullptr) << "the receiver owns the payload now";
    EXPECT_EQ(sent.m_objPtr, nullptr);
    CQuorMsg received;
    ASSERT_EQ(queue.Receive(&received, 0), 0);
    EXPECT_EQ(received.m_userData, -4);
    EXPECT_EQ(received.m_signalPtr, payload) << "the payload travels by pointer";
    EXPECT_EQ(received.m_objPtr, object);
    received.FreeSignal();

    // A foreign sender's raw image is read field by field.
    CQuorMsg raw(SIG_ID_STOP_THREAD);
    raw.m_userData = 1234;
    unsigned char image[CQuorMsg::ImageSize];
    raw.WriteImage(image);
    ASSERT_EQ(mq_send(queue.GetHandle(), reinterpret_cast<char*>(image), sizeof image, 0), 0);
    ASSERT_EQ(queue.Receive(&received, 0), 0);
    EXPECT_EQ(received.m_signalName, SIG_ID_STOP_THREAD);
    EXPECT_EQ(received.m_userData, 1234);
}

// Every refused send releases the payload and keeps the size. A full queue
// gets the first two; descriptor 1 is no queue of this process, so its
// failure is not traced as one of ours. With stdin closed, mq_open gives a
// queue object descriptor 0.
TEST_F(QueueTest, RefusedSendsGiveTheirCodeAndTraceAndReleaseThePayload) {
    unsigned const sentBefore = CQuorMsgQueue::GetTotalNrOfSentMsgs();
    int const savedStdin = dup(0);
    ASSERT_GE(savedStdin, 0);
    close(0);
    CQuorMsgQueue zero;
    ASSERT_EQ(zero.Open(UniqueQueueName("zero").c_str(), nonBlocking, 0600, 10, true), 0);
    ASSERT_EQ(zero.GetHandle(), 0);
    CQuorMsgQueue closed;
    CQuorMsgQueue full;
    ASSERT_EQ(full.Open(UniqueQueueName("full").c_str(), nonBlocking, 0600, 2, true), 0);
    for (int i = 0; i < 2; ++i) {
        CQuorMsg msg(SIG_ID_FIRST_GENERAL_MSG);
        ASSERT_EQ(CQuorMsgQueue::Send(full.GetHandle(), &msg, 0), 0);
    }
    std::string const fullHandle = std::to_string(full.GetHandle());
    struct Case {
        CQuorMsgQueue* object; // nullptr: the send to a handle
        int handle;
        int expected;
        std::string trace;
    };
    for (Case const& c : {
             Case{nullptr, 0, -1427,
                  "CQuorMsgQueue::Send (obj to handle) - Handle is 0 - "
                  "signal=451 SIG_ID_MPLAYER_OPEN_REQ\n"},
             Case{nullptr, -1, -1423,
                  "CQuorMsgQueue::Send (obj to handle) - Handle is undefined - "
                  "signal=451 SIG_ID_MPLAYER_OPEN_REQ\n"},
             Case{&closed, -1, -1422,
                  "CQuorMsgQueue::Send (obj) - Handle is undefined - "
                  "signal=451 SIG_ID_MPLAYER_OPEN_REQ\n"},
             Case{nullptr, full.GetHandle(), -1421,
                  "CQuorMsgQueue::Send (obj to handle) to queue FAILED (obj to handle) - handle=" +
                      fullHandle + " rc=-1 errno=11 signal=451 SIG_ID_MPLAYER_OPEN_REQ\n"},
             Case{&full, 0, -1421, "CQuorMsgQueue::Send (obj) FAILED - handle=" + fullHandle},
             Case{nullptr, 1, -1421, ""},
             Case{&zero, 0, -1427, ""},
         }) {
        CQuorMsg msg = MessageWithPayload(SIG_ID_MPLAYER_OPEN_REQ, 20, 1);
        TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_ERROR);
        int const rc =
            c.object == nullptr ? CQuorMsgQueue::Send(c.handle, &msg, 0) : c.object->Send(&msg, 0);
        std::string const out = capture.Text();
        EXPECT_EQ(rc, c.expected) << c.handle;
        EXPECT_EQ(msg.m_signalPtr, nullptr) << "payload released";
        EXPECT_EQ(msg.m_objPtr, nullptr);
        EXPECT_EQ(msg.m_signalSize, 20) << "the size stays";
        EXPECT_THAT(out, HasSubstr(c.trace));
        if (c.trace.empty()) {
            EXPECT_EQ(out.find("FAILED"), std::string::npos) << out;
        }
    }
    EXPECT_EQ(CountedObject::live.load(), 0);
    EXPECT_EQ(CQuorMsgQueue::GetTotalNrOfSentMsgs() - sentBefore, 2u) << "failures not counted";
    EXPECT_EQ(full.GetNrOfMsgsInQueue(), 2) << "nothing was added";
    zero.Close();
    dup2(savedStdin, 0);
    close(savedStdin);
}

TEST_F(QueueTest, NullMessagesAndClosedQueuesGiveTheirCodes) {
    CQuorMsg msg;
    EXPECT_EQ(CQuorMsgQueue::Send(queue.GetHandle(), nullptr, 0), -1426);
    EXPECT_EQ(queue.Send(nullptr, 0), -1426);
    EXPECT_EQ(queue.Receive(nullptr, 0), -1426);
    EXPECT_EQ(queue.ReceiveFromNonblockingQueue(nullptr, 0), -1426);

    CQuorMsgQueue closed;
    mq_attr attr{};
    EXPECT_EQ(closed.Receive(&msg, 0), -1420);
    EXPECT_EQ(closed.ReceiveFromNonblockingQueue(&msg, 0), -1420);
    EXPECT_EQ(closed.GetNrOfMsgsInQueue(), -1415);
    EXPECT_EQ(closed.Getattr(&attr), -1413);
    EXPECT_EQ(closed.Close(), -1411);
    EXPECT_EQ(closed.Unlink(), -1417) << "no name";

    EXPECT_EQ(queue.Receive(&msg, 0), -1419) << "empty non-blocking queue";
}

// Suspicious messages are sent all the same, with a warning.
TEST_F(QueueTest, PayloadWithoutSizeAndSignalZeroAreSentWithAWarning) {
    CQuorMsg noSize(SIG_ID_MPLAYER_EOS_IND);
    noSize.m_signalPtr = ::operator new(4);
    CQuorMsg zero;
    {
        TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_WARNING);
        ASSERT_EQ(queue.Send(&noSize, 0), 0);
        EXPECT_THAT(capture.Text(), HasSubstr("CQuorMsgQueue::Send (obj) - Signal pointer is set, "
                                              "but signalSize is 0 - signal=484 "
                                              "SIG_ID_MPLAYER_EOS_IND\n"));
        EXPECT_THAT(capture.Text(), testing::Not(HasSubstr("Signal name = 0")));
    }
    TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_WARNING);
    ASSERT_EQ(queue.Send(&zero, 0), 0);
    EXPECT_THAT(capture.Text(),
                HasSubstr("CQuorMsgQueue::Send (obj) - Signal name = 0 Thread-Id = "));
    EXPECT_EQ(queue.GetNrOfMsgsInQueue(), 2);
    CQuorMsg received;
    ASSERT_EQ(queue.Receive(&received, 0), 0);
    EXPECT_NE(received.m_signalPtr, nullptr);
    received.FreeSignal();
    queue.ClearQueue();
}

TEST_F(QueueTest, StatisticsCountReceivesAndTheHighestFillAndPriorityOvertakes) {
    for (unsigned long signal : {100ul, 101ul, 102ul}) {
        CQuorMsg msg(signal);
        ASSERT_EQ(queue.Send(&msg, 0), 0);
    }
    CQuorMsg high(201);
    ASSERT_EQ(CQuorMsgQueue::Send(queue.GetHandle(), &high, 5), 0);
    EXPECT_EQ(queue.GetMaxFill(), 0);
    CQuorMsgQueue::ClearTotalNrOfSentMsgs();
    CQuorMsg msg;
    ASSERT_EQ(queue.Receive(&msg, 0), 0);
    EXPECT_EQ(msg.m_signalName, 201ul);
    EXPECT_EQ(queue.GetMaxFill(), 4) << "counting the message just received";
    ASSERT_EQ(queue.ReceiveFromNonblockingQueue(&msg, 0), 0);
    ASSERT_EQ(queue.Receive(&msg, 0), 0);
    ASSERT_EQ(queue.Receive(&msg, 0), 0);
    EXPECT_EQ(queue.GetMaxFill(), 4);
    EXPECT_EQ(queue.GetNrOfReadMsgs(), 4u);
    EXPECT_EQ(queue.GetLastMsg(), 102ul);
    EXPECT_EQ(CQuorMsgQueue::GetTotalNrOfSentMsgs(), 0u);
}

TEST_F(QueueTest, UsleepOnQueueReportsAWaitingMessageWithoutReceivingIt) {
    auto const start = std::chrono::steady_clock::now();
    EXPECT_EQ(queue.usleepOnQueue(30000), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
    CQuorMsg msg(300);
    ASSERT_EQ(queue.Send(&msg, 0), 0);
    EXPECT_EQ(queue.usleepOnQueue(1500000), 1);
    EXPECT_EQ(queue.GetNrOfMsgsInQueue(), 1);
}

TEST_F(QueueTest, ClearAndDumpReleaseEveryWaitingMessage) {
    for (unsigned long signal : {31ul, 444ul, 671ul}) {
        CQuorMsg msg = MessageWithPayload(signal, 16, 3);
        ASSERT_EQ(queue.Send(&msg, 0), 0);
    }
    EXPECT_EQ(ScreenOf([&] { CQuorMsgQueue::DumpQueue(queue.GetHandle()); }),
              "CQuorMsgQueue::DumpQueue - Msg read from queue - nr: 1  signalname: 31\n"
              "CQuorMsgQueue::DumpQueue - Msg read from queue - nr: 2  signalname: 444\n"
              "CQuorMsgQueue::DumpQueue - Msg read from queue - nr: 3  signalname: 671\n");
    EXPECT_EQ(queue.GetNrOfMsgsInQueue(), 0);
    for (int i = 0; i < 4; ++i) {
        CQuorMsg msg = MessageWithPayload(400, 16, 3);
        ASSERT_EQ(queue.Send(&msg, 0), 0);
    }
    EXPECT_EQ(CountedObject::live.load(), 4);
    TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_INFO);
    queue.ClearQueue();
    std::string const out = capture.Text();
    EXPECT_EQ(CountedObject::live.load(), 0);
    EXPECT_EQ(queue.GetNrOfMsgsInQueue(), 0);
    EXPECT_EQ(CountLines(out, "CQuorMsgQueue::ClearQueue - Msg read from queue - size: " +
                                  std::to_string(CQuorMsg::ImageSize) + "  errno=0\n"),
              4);
    EXPECT_EQ(CountLines(out, "ClearQueue - Msg read from queue - size: -1  errno=11\n"), 1);
}

TEST(QueueOpen, LeftoverQueueIsDiscardedOnlyWhenAskedAndFailuresGiveMinus1418) {
    std::string const name = UniqueQueueName("leftover");
    for (bool unlinkFirst : {false, true}) {
        // An earlier run left a queue with one message behind.
        mq_attr attr{};
        attr.mq_maxmsg = 10;
        attr.mq_msgsize = CQuorMsg::ImageSize;
        mqd_t const old = mq_open(name.c_str(), O_RDWR | O_CREAT, 0600, &attr);
        ASSERT_NE(old, -1);
        unsigned char image[CQuorMsg::ImageSize] = {};
        ASSERT_EQ(mq_send(old, reinterpret_cast<char*>(image), sizeof image, 0), 0);
        mq_close(old);
        CQuorMsgQueue queue;
        ASSERT_EQ(queue.Open(name.c_str(), nonBlocking, 0600, 10, unlinkFirst), 0);
        EXPECT_EQ(queue.GetNrOfMsgsInQueue(), unlinkFirst ? 0 : 1);
        queue.ClearQueue();
        mq_unlink(name.c_str());
    }
    CQuorMsgQueue queue;
    TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_ERROR);
    EXPECT_EQ(queue.Open("no-leading-slash/x", nonBlocking, 0600, 10, true), -1418);
    EXPECT_EQ(queue.Open(UniqueQueueName("absent").c_str(), O_RDWR, 0600, 10, true), -1418);
    EXPECT_THAT(capture.Text(), HasSubstr("CQuorMsgQueue::Open queue FAILED - errno = 2\n"));
    EXPECT_EQ(queue.GetHandle(), -1);
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(-1), nullptr);
}

TEST(QueueBlocking, DrainingABlockingQueueDoesNotWait) {
    std::string const name = UniqueQueueName("blocking");
    {
        CQuorMsgQueue queue;
        ASSERT_EQ(queue.Open(name.c_str(), O_RDWR | O_CREAT, 0600, 10, true), 0);
        EXPECT_TRUE(QueueTypeIsBlocking(queue.GetHandle()));
        for (int i = 0; i < 3; ++i) {
            CQuorMsg msg = MessageWithPayload(500, 8, 5);
            ASSERT_EQ(queue.Send(&msg, 0), 0);
        }
        queue.ClearQueue(); // would hang on a plain receive
        EXPECT_EQ(queue.GetNrOfMsgsInQueue(), 0);
        CQuorMsg msg = MessageWithPayload(501, 8, 5);
        ASSERT_EQ(queue.Send(&msg, 0), 0);
        ScreenOf([&] { CQuorMsgQueue::DumpQueue(queue.GetHandle()); });
        EXPECT_EQ(queue.GetNrOfMsgsInQueue(), 0);
        CQuorMsg last = MessageWithPayload(502, 8, 5);
        ASSERT_EQ(queue.Send(&last, 0), 0);
    } // the destructor drains and unlinks
    EXPECT_EQ(CountedObject::live.load(), 0);
    EXPECT_EQ(mq_open(name.c_str(), O_RDONLY), -1);
    EXPECT_EQ(errno, ENOENT);

    TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_ERROR);
    EXPECT_FALSE(QueueTypeIsBlocking(-1));
    EXPECT_FALSE(QueueTypeIsBlocking(1)) << "stdout is no queue";
    EXPECT_THAT(capture.Text(), HasSubstr("Error getting attributes for queue handle -1\n"));
    EXPECT_THAT(capture.Text(), HasSubstr("Error getting attributes for queue handle 1\n"));
}

TEST(QueueClose, ADescriptorIsClosedOnlyOnce) {
    std::string const firstName = UniqueQueueName("first");
    auto first = std::make_unique<CQuorMsgQueue>();
    ASSERT_EQ(first->Open(firstName.c_str(), nonBlocking, 0600, 10, true), 0);
    int const handle = first->GetHandle();
    ASSERT_EQ(first->Close(), 0);
    EXPECT_EQ(first->Close(), -1411) << "the object is closed";
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(handle), nullptr);

    // The number is reused by the next queue; the first object must leave it alone.
    CQuorMsgQueue second;
    ASSERT_EQ(second.Open(UniqueQueueName("second").c_str(), nonBlocking, 0600, 10, true), 0);
    ASSERT_EQ(second.GetHandle(), handle);
    first.reset(); // unlinks the first queue's name, must not close the reused descriptor
    CQuorMsg msg(600);
    EXPECT_EQ(second.Send(&msg, 0), 0);
    EXPECT_EQ(second.Receive(&msg, 0), 0);
    EXPECT_EQ(mq_open(firstName.c_str(), O_RDONLY), -1) << "the first name is gone";
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(handle), &second);
}

TEST(QueueClose, UnlinkRemovesTheNameOnceAndAQueueWithoutUnlinkSurvivesItsObject) {
    std::string const name = UniqueQueueName("unlink");
    CQuorMsgQueue queue;
    ASSERT_EQ(queue.Open(name.c_str(), nonBlocking, 0600, 10, false), 0);
    EXPECT_EQ(queue.Unlink(), 0);
    EXPECT_EQ(mq_open(name.c_str(), O_RDONLY), -1);
    int handle = -1;
    {
        CQuorMsgQueue later;
        ASSERT_EQ(later.Open(name.c_str(), nonBlocking, 0600, 10, false), 0);
        EXPECT_EQ(queue.Unlink(), -1417) << "the first object no longer owns the name";
        handle = later.GetHandle();
        CQuorMsg msg(700);
        ASSERT_EQ(later.Send(&msg, 0), 0);
    }
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(handle), nullptr) << "no dangling entry";
    CQuorMsgQueue again;
    ASSERT_EQ(again.Open(name.c_str(), nonBlocking, 0600, 10, false), 0);
    EXPECT_EQ(again.GetNrOfMsgsInQueue(), 1) << "the queue and its message survived";
    EXPECT_EQ(again.Unlink(), 0);
    EXPECT_EQ(again.Unlink(), -1417);
}

} // namespace
