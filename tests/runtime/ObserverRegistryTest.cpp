#include <fcntl.h>

#include <deque>

#include "RuntimeTestSupport.h"
#include "runtime/CObservableCallbackAll.h"
#include "runtime/CObserverCallbackFunction.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

using runtime_test::CountedObject;
using runtime_test::CountLines;
using runtime_test::MessageWithPayload;

using Messages = std::deque<CQuorMsg>;

// Moves msg with its payload to the end of into.
void TakeOver(Messages& into, CQuorMsg* msg) {
    unsigned char image[CQuorMsg::ImageSize];
    msg->WriteImage(image);
    into.emplace_back().ReadImage(image);
}

// An observer of either kind; what it received stays in got (the test releases it).
struct Observer : CObserverCallbackFunction {
    explicit Observer(int flags = O_NONBLOCK, int length = 10) {
        queue.Open(runtime_test::UniqueQueueName("obs").c_str(), O_RDWR | O_CREAT | flags, 0600,
                   length, true);
    }
    void Callback(CQuorMsg* msg) override { TakeOver(got, msg); }
    Messages& Got() {
        for (CQuorMsg msg; queue.GetNrOfMsgsInQueue() > 0 && queue.Receive(&msg, 0) == 0;) {
            TakeOver(got, &msg);
        }
        return got;
    }
    CQuorMsgQueue queue;
    Messages got;
};

class ObserverTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CountedObject::live.load(), 0) << "a payload leaked"; }
    CObservableCallbackAll registry;
};

TEST_F(ObserverTest, QueueRegistrationRefusesBlockingQueuesHandleZeroAndDuplicates) {
    Observer q, blocking(0);
    TraceCapture trace(TRACE_OBSERVER, TRACELEVEL_WARNING);
    registry.RegisterCallbackQueue(q.queue.GetHandle(), 1, 2, 5);
    registry.RegisterCallbackQueue(q.queue.GetHandle(), 1, 2, 0); // a second record
    registry.RegisterCallbackQueue(q.queue.GetHandle(), 1, 2, 9); // covered by the one for 0
    registry.RegisterCallbackQueue(0, 1, 2, 0);
    registry.RegisterCallbackQueue(blocking.queue.GetHandle(), 1, 2, 0);
    EXPECT_EQ(registry.CountObserversWithCallbackQueue(5), 2);
    EXPECT_EQ(registry.CountObserversWithCallbackQueue(9), 1);
    registry.UnregisterCallbackQueue(q.queue.GetHandle(), 9); // no such record
    registry.UnregisterCallbackQueue(q.queue.GetHandle(), 5);
    EXPECT_EQ(registry.CountObserversWithCallbackQueue(5), 1);
    EXPECT_EQ(CountLines(trace.Text(), "CObservableCallbackQueue::Queue already registered."), 1);
    EXPECT_EQ(CountLines(trace.Text(), "RegisterCallbackQueue() - Illegal queue handle 0."), 1);
    EXPECT_EQ(CountLines(trace.Text(), "It is not allowed to register blocking queues."), 1);
}

TEST_F(ObserverTest, QueuesGetCopiesExceptTheLastWhichGetsTheSendersBlock) {
    Observer first, second;
    registry.RegisterCallbackQueue(first.queue.GetHandle(), 11, 12, 5);
    registry.RegisterCallbackQueue(second.queue.GetHandle(), 21, 22, 5);
    registry.RegisterCallbackQueue(second.queue.GetHandle(), 31, 32, 0);
    CQuorMsg msg = MessageWithPayload(5, 12, 0xA5);
    void* const senderBlock = msg.m_signalPtr;
    unsigned const before = CObservableCallbackQueue::GetTotalNrOfQueueCallbacks();
    EXPECT_EQ(registry.NotifyObserversWithCallbackQueue(&msg), 0);
    EXPECT_EQ(CObservableCallbackQueue::GetTotalNrOfQueueCallbacks() - before, 3u);
    Messages& got = first.Got();
    for (CQuorMsg& m : second.Got()) {
        TakeOver(got, &m);
    }
    ASSERT_EQ(got.size(), 3u) << "the queue registered for 0 and for 5 gets the message twice";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i].m_callbackId, 11 + 10 * i);
        EXPECT_EQ(got[i].m_callbackId2, 12 + 10 * i);
        EXPECT_EQ(static_cast<unsigned char*>(got[i].m_signalPtr)[11], 0xA5);
        EXPECT_EQ(got[i].m_signalPtr == senderBlock, i == 2);
        got[i].FreeSignal();
    }
}

TEST_F(ObserverTest, PayloadWithoutSizeGoesToOneObserverButNotToTwo) {
    enum Notify { queues, callbacks, all };
    struct Case {
        bool two;
        Notify notify;
        int result;
    } const cases[] = {{false, queues, 0},
                       {true, queues, -1521},
                       {false, callbacks, 0},
                       {true, callbacks, -1510},
                       {false, all, -1500}};
    for (auto const& c : cases) {
        Observer one, other;
        CObservableCallbackAll r;
        r.RegisterCallbackQueue(one.queue.GetHandle(), 0, 0, 0);
        r.RegisterCallbackFunction(one, 0, 0, 0);
        if (c.two) {
            r.RegisterCallbackQueue(other.queue.GetHandle(), 0, 0, 0);
            r.RegisterCallbackFunction(&other, 0, 0, 0);
        }
        CQuorMsg msg = MessageWithPayload(7, 4, 0);
        msg.m_signalSize = 0;
        void* const block = msg.m_signalPtr;
        EXPECT_EQ(c.notify == queues      ? r.NotifyObserversWithCallbackQueue(&msg)
                  : c.notify == callbacks ? r.NotifyObserversWithCallbackFunction(&msg)
                                          : r.NotifyObserversAll(&msg),
                  c.result);
        EXPECT_EQ(one.Got().size(), c.result == 0 ? 1u : 0u);
        for (CQuorMsg& m : one.Got()) {
            EXPECT_EQ(m.m_signalPtr, block) << "one observer gets the message unchanged";
            m.FreeSignal();
        }
        EXPECT_TRUE(other.Got().empty());
        EXPECT_EQ(CountedObject::live.load(), 0) << "the payload is released";
    }
}

TEST_F(ObserverTest, NotifyAllCopiesForCallbacksAndReportsTheLastFailedSend) {
    Observer callback, ok, full(O_NONBLOCK, 1);
    registry.RegisterCallbackFunction(callback, 3, 4, 8);
    registry.RegisterCallbackFunction(callback, 5, 6, 0);
    registry.RegisterCallbackFunction(callback, 7, 7, 0); // refused: the record for 0 covers it
    registry.UnregisterCallbackFunction(callback, 8);
    registry.RegisterCallbackQueue(ok.queue.GetHandle(), 1, 1, 0);
    registry.RegisterCallbackQueue(full.queue.GetHandle(), 2, 2, 0);
    CQuorMsg filler(1);
    ASSERT_EQ(full.queue.Send(&filler, 0), 0);
    EXPECT_EQ(registry.CountObserversAll(8), 3);
    unsigned const before = CObservableCallbackFunction::GetTotalNrOfFunctionCallbacks();
    CQuorMsg msg = MessageWithPayload(8, 16, 0x3C);
    void* const senderBlock = msg.m_signalPtr;
    EXPECT_EQ(registry.NotifyObserversAll(&msg), -1421);
    EXPECT_EQ(CObservableCallbackFunction::GetTotalNrOfFunctionCallbacks() - before, 1u);
    ASSERT_EQ(callback.got.size(), 1u);
    EXPECT_EQ(callback.got[0].m_callbackId, 5);
    ASSERT_EQ(ok.Got().size(), 1u);
    for (CQuorMsg* m : {&callback.got[0], &ok.got[0]}) {
        EXPECT_NE(m->m_signalPtr, senderBlock) << "the full queue was last: it had the block";
        EXPECT_EQ(static_cast<unsigned char*>(m->m_signalPtr)[15], 0x3C);
        m->FreeSignal();
    }
    CQuorMsg unobserved = MessageWithPayload(9, 4, 0);
    EXPECT_EQ(CObservableCallbackAll().NotifyObserversAll(&unobserved), 0);
}

} // namespace
