#include <fcntl.h>

#include <deque>

#include "RuntimeTestSupport.h"
#include "plugin/VtableSlot.h"
#include "runtime/CObservableCallbackAll.h"
#include "runtime/CObserverCallbackFunction.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

using runtime_test::CountedObject;
using runtime_test::CountLines;
using runtime_test::MessageWithPayload;
using runtime_test::UniqueQueueName;

// Moves msg, with its payload, to the end of into.
void TakeOver(std::deque<CQuorMsg>& into, CQuorMsg* msg) {
    unsigned char image[CQuorMsg::ImageSize];
    msg->WriteImage(image);
    into.emplace_back().ReadImage(image);
}

// A queue observer: an open queue of its own and what arrived on it.
struct ObserverQueue {
    explicit ObserverQueue(int flags = O_NONBLOCK, int length = 10) {
        EXPECT_EQ(queue.Open(UniqueQueueName("obs").c_str(), O_RDWR | O_CREAT | flags, 0600, length,
                             true),
                  0);
    }
    // Every waiting message; the caller releases their payloads.
    std::deque<CQuorMsg> Drain() {
        std::deque<CQuorMsg> messages;
        CQuorMsg msg;
        while (queue.GetNrOfMsgsInQueue() > 0 && queue.Receive(&msg, 0) == 0) {
            TakeOver(messages, &msg);
        }
        return messages;
    }
    int Handle() const { return queue.GetHandle(); }
    CQuorMsgQueue queue;
};

// A callback observer that keeps the messages it is given.
struct Recorder : CObserverCallbackFunction {
    void Callback(CQuorMsg* msg) override { TakeOver(received, msg); }
    ~Recorder() override {
        for (auto& msg : received) {
            msg.FreeSignal();
        }
    }
    std::deque<CQuorMsg> received;
};

class ObserverTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CountedObject::live.load(), 0) << "a payload leaked"; }
    CObservableCallbackAll registry;
};

TEST_F(ObserverTest, QueueRegistrationRefusesBlockingQueuesHandleZeroAndDuplicates) {
    ObserverQueue q, blocking(0);
    TraceCapture trace(TRACE_OBSERVER, TRACELEVEL_WARNING);
    registry.RegisterCallbackQueue(q.Handle(), 1, 2, 5);
    registry.RegisterCallbackQueue(q.Handle(), 1, 2, 0); // a second record
    registry.RegisterCallbackQueue(q.Handle(), 1, 2, 9); // covered by the one for 0
    registry.RegisterCallbackQueue(0, 1, 2, 0);
    registry.RegisterCallbackQueue(blocking.Handle(), 1, 2, 0);
    EXPECT_EQ(registry.CountObserversWithCallbackQueue(5), 2);
    EXPECT_EQ(registry.CountObserversWithCallbackQueue(9), 1);
    registry.UnregisterCallbackQueue(q.Handle(), 9); // no such record
    registry.UnregisterCallbackQueue(q.Handle(), 5);
    EXPECT_EQ(registry.CountObserversWithCallbackQueue(5), 1);
    EXPECT_TRUE(registry.AlreadyRegisteredWithCallbackQueue(q.Handle(), 5));
    EXPECT_EQ(CountLines(trace.Text(), "CObservableCallbackQueue::Queue already registered."), 1);
    EXPECT_EQ(CountLines(trace.Text(), "RegisterCallbackQueue() - Illegal queue handle 0."), 1);
    EXPECT_EQ(CountLines(trace.Text(), "It is not allowed to register blocking queues."), 1);
}

TEST_F(ObserverTest, QueuesGetCopiesExceptTheLastWhichGetsTheSendersBlock) {
    ObserverQueue first, second;
    registry.RegisterCallbackQueue(first.Handle(), 11, 12, 5);
    registry.RegisterCallbackQueue(second.Handle(), 21, 22, 5);
    registry.RegisterCallbackQueue(second.Handle(), 31, 32, 0);
    CQuorMsg msg = MessageWithPayload(5, 12, 0xA5);
    void* const senderBlock = msg.m_signalPtr;
    unsigned const before = CObservableCallbackQueue::GetTotalNrOfQueueCallbacks();

    EXPECT_EQ(registry.NotifyObserversWithCallbackQueue(&msg), 0);
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(CObservableCallbackQueue::GetTotalNrOfQueueCallbacks() - before, 3u);
    std::deque<CQuorMsg> got = first.Drain();
    for (CQuorMsg& m : second.Drain()) {
        TakeOver(got, &m);
    }
    ASSERT_EQ(got.size(), 3u) << "the queue registered for 0 and for 5 gets the message twice";
    long const ids[3][2] = {{11, 12}, {21, 22}, {31, 32}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i].m_callbackId, ids[i][0]);
        EXPECT_EQ(got[i].m_callbackId2, ids[i][1]);
        EXPECT_EQ(got[i].m_signalSize, 12);
        EXPECT_EQ(static_cast<unsigned char*>(got[i].m_signalPtr)[11], 0xA5);
        EXPECT_EQ(got[i].m_signalPtr == senderBlock, i == 2);
        got[i].FreeSignal();
    }
}

TEST_F(ObserverTest, PayloadWithoutSizeGoesToOneObserverButNotToTwo) {
    ObserverQueue q1, q2;
    Recorder r1, r2;
    enum Notify { queues, callbacks, all };
    struct Case {
        int observers;
        Notify notify;
        int result;
    } const cases[] = {
        {1, queues, 0},        {2, queues, -1521}, {1, callbacks, 0},
        {2, callbacks, -1510}, {1, all, -1500},
    };
    for (auto const& c : cases) {
        registry.DeleteObserversWithCallbackQueue();
        registry.DeleteObserversWithCallbackFunction();
        registry.RegisterCallbackQueue(q1.Handle(), 0, 0, 0);
        registry.RegisterCallbackFunction(r1, 0, 0, 0);
        if (c.observers == 2) {
            registry.RegisterCallbackQueue(q2.Handle(), 0, 0, 0);
            registry.RegisterCallbackFunction(&r2, 0, 0, 0);
        }
        CQuorMsg msg = MessageWithPayload(7, 4, 0);
        msg.m_signalSize = 0;
        void* const block = msg.m_signalPtr;
        int const rc = c.notify == queues      ? registry.NotifyObserversWithCallbackQueue(&msg)
                       : c.notify == callbacks ? registry.NotifyObserversWithCallbackFunction(&msg)
                                               : registry.NotifyObserversAll(&msg);
        EXPECT_EQ(rc, c.result);
        std::deque<CQuorMsg> delivered = q1.Drain();
        for (CQuorMsg& m : r1.received) {
            TakeOver(delivered, &m);
        }
        r1.received.clear();
        EXPECT_EQ(delivered.size(), c.result == 0 ? 1u : 0u);
        for (CQuorMsg& m : delivered) {
            EXPECT_EQ(m.m_signalPtr, block) << "one observer gets the message unchanged";
            m.FreeSignal();
        }
        EXPECT_TRUE(q2.Drain().empty());
        EXPECT_TRUE(r2.received.empty());
        EXPECT_EQ(CountedObject::live.load(), 0);
    }
}

TEST_F(ObserverTest, NotifyAllCopiesForCallbacksAndReportsTheLastFailedSend) {
    ObserverQueue full(O_NONBLOCK, 1), ok;
    Recorder recorder;
    registry.RegisterCallbackFunction(recorder, 3, 4, 8);
    registry.RegisterCallbackFunction(recorder, 5, 6, 0);
    registry.RegisterCallbackFunction(recorder, 7, 7, 0); // refused: the record for 0 covers it
    registry.UnregisterCallbackFunction(recorder, 8);
    registry.RegisterCallbackQueue(ok.Handle(), 1, 1, 0);
    registry.RegisterCallbackQueue(full.Handle(), 2, 2, 0);
    CQuorMsg filler(1);
    ASSERT_EQ(full.queue.Send(&filler, 0), 0);
    EXPECT_EQ(registry.CountObserversAll(8), 3);
    unsigned const before = CObservableCallbackFunction::GetTotalNrOfFunctionCallbacks();

    CQuorMsg msg = MessageWithPayload(8, 16, 0x3C);
    void* const senderBlock = msg.m_signalPtr;
    EXPECT_EQ(registry.NotifyObserversAll(&msg), -1421);
    EXPECT_EQ(CObservableCallbackFunction::GetTotalNrOfFunctionCallbacks() - before, 1u);
    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_NE(recorder.received[0].m_signalPtr, senderBlock);
    EXPECT_EQ(recorder.received[0].m_callbackId, 5);
    EXPECT_EQ(static_cast<unsigned char*>(recorder.received[0].m_signalPtr)[15], 0x3C);
    std::deque<CQuorMsg> got = ok.Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_NE(got[0].m_signalPtr, senderBlock) << "the full queue was last: it had the block";
    got[0].FreeSignal();

    CQuorMsg unobserved = MessageWithPayload(9, 4, 0);
    registry.DeleteObserversWithCallbackQueue();
    registry.DeleteObserversWithCallbackFunction();
    EXPECT_EQ(registry.NotifyObserversAll(&unobserved), 0);
    EXPECT_EQ(unobserved.m_signalPtr, nullptr) << "released";
}

TEST(ObserverSlots, VirtualOperationsSitInTheirSlots) {
    using Q = CObservableCallbackQueue;
    using F = CObservableCallbackFunction;
    using A = CObservableCallbackAll;
    using RegisterByReference = void (F::*)(CObserverCallbackFunction&, long, long, unsigned long);
    using RegisterByPointer = void (F::*)(CObserverCallbackFunction*, long, long, unsigned long);
    std::ptrdiff_t const slots[] = {SlotOf(&Q::RegisterCallbackQueue),
                                    SlotOf(&Q::UnregisterCallbackQueue),
                                    SlotOf(&Q::DeleteObserversWithCallbackQueue),
                                    SlotOf(&Q::CountObserversWithCallbackQueue),
                                    SlotOf(&Q::AlreadyRegisteredWithCallbackQueue),
                                    SlotOf(&Q::NotifyObserversWithCallbackQueue),
                                    SlotOf(&A::NotifyObserversAll),
                                    SlotOf(&A::CountObserversAll)};
    for (std::ptrdiff_t i = 0; i < 8; ++i) {
        EXPECT_EQ(slots[i], i + 2) << "operation " << i << " after the two destructors";
    }
    std::ptrdiff_t const functionSlots[] = {
        SlotOf(static_cast<RegisterByReference>(&F::RegisterCallbackFunction)),
        SlotOf(static_cast<RegisterByPointer>(&F::RegisterCallbackFunction)),
        SlotOf(&F::UnregisterCallbackFunction),
        SlotOf(&F::DeleteObserversWithCallbackFunction),
        SlotOf(&F::CountObserversWithCallbackFunction),
        SlotOf(&F::AlreadyRegisteredWithCallbackFunction),
        SlotOf(&F::NotifyObserversWithCallbackFunction)};
    for (std::ptrdiff_t i = 0; i < 7; ++i) {
        EXPECT_EQ(functionSlots[i], i + 2);
    }
    EXPECT_EQ(SlotOf(&CObserverCallbackFunction::Callback), 0);
}

} // namespace
