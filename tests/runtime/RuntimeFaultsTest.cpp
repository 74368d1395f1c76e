// Queues and threads under faults from outside: a descriptor closed under a
// queue, messages and queues of a foreign size, and objects destroyed after
// shutdown has stopped the registries' upkeep.
#include <fcntl.h>
#include <mqueue.h>

#include <memory>
#include <vector>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"
#include "runtime/CThreadObject.h"

namespace {

using namespace runtime_test;

TEST(QueueFaults, ADeadDescriptorFailsTheWaitsInsteadOfLookingReady) {
    CQuorMsgQueue queue;
    ASSERT_EQ(queue.Open(UniqueQueueName("dead").c_str(), nonBlocking, 0600, 10, true), 0);
    ASSERT_EQ(close(queue.GetHandle()), 0);
    CQuorMsg msg;
    EXPECT_EQ(queue.ReceiveFromNonblockingQueue(&msg, 0), -1425);
    EXPECT_LT(queue.usleepOnQueue(1000), 0);
}

TEST(QueueFaults, MessagesOfAForeignSizeAreRefusedAndNothingOfThemReleased) {
    CQuorMsgQueue queue;
    ASSERT_EQ(queue.Open(UniqueQueueName("size").c_str(), nonBlocking, 0600, 10, true), 0);
    // Pointers of another process: releasing them would crash.
    std::vector<char> const foreign(CQuorMsg::ImageSize - 8, '\xAB');
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(mq_send(queue.GetHandle(), foreign.data(), foreign.size(), 0), 0);
    }
    TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_ERROR);
    CQuorMsg msg(SIG_ID_STOP_THREAD);
    EXPECT_EQ(queue.Receive(&msg, 0), -1419);
    EXPECT_EQ(queue.ReceiveFromNonblockingQueue(&msg, 0), -1419);
    queue.ClearQueue();
    EXPECT_EQ(msg.m_signalName, SIG_ID_STOP_THREAD);
    std::string const refused = "message of " + std::to_string(foreign.size()) + " bytes refused";
    EXPECT_EQ(CountLines(capture.Text(), refused), 3);
}

TEST(QueueFaults, OpeningAForeignQueueOfAnotherMessageSizeFails) {
    std::string const name = UniqueQueueName("foreign");
    mq_attr attr{0, 10, 2 * static_cast<long>(CQuorMsg::ImageSize), 0, {}};
    mqd_t const other = mq_open(name.c_str(), O_RDWR | O_CREAT, 0600, &attr);
    ASSERT_NE(other, -1);
    CQuorMsgQueue queue;
    TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_ERROR);
    EXPECT_EQ(queue.Open(name.c_str(), nonBlocking, 0600, 10, false), -1418);
    EXPECT_THAT(capture.Text(), HasSubstr(name + " carries messages of"));
    mq_close(other);
    EXPECT_EQ(mq_unlink(name.c_str()), 0); // the other program's queue is left alone
}

class ShortThread : public CThreadObject {
protected:
    void ThreadWorkFunction() override {}
};

TEST(RegistryAfterShutdown, DestroyedThreadsAndQueuesAreNeverListed) {
    CThreadObject::StopAllThreads();
    CQuorMsgQueue::Terminate();
    auto thread = std::make_unique<ShortThread>();
    ASSERT_EQ(thread->StartThread("LateThread", 0, 0), 0);
    thread->StopThreadAndWait();
    auto queue = std::make_unique<CQuorMsgQueue>();
    std::string const name = UniqueQueueName("late");
    ASSERT_EQ(queue->Open(name.c_str(), nonBlocking, 0600, 10, true), 0);
    int const handle = queue->GetHandle();
    thread.reset();
    queue.reset();
    TraceCapture capture(TRACE_THREAD_OBJECT);
    CThreadObject::ListGlobalThreadObjectList(0);
    CQuorMsgQueue::ListGlobalMsgQueueList(0);
    EXPECT_EQ(capture.Text().find("LateThread"), std::string::npos) << capture.Text();
    EXPECT_EQ(capture.Text().find(name), std::string::npos) << capture.Text();
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(handle), nullptr);
    CThreadObject::Start();
    CQuorMsgQueue::Start();
}

} // namespace
