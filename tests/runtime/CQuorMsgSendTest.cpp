#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

using namespace runtime_test;

class MsgSendTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(queue.Open(UniqueQueueName("msg").c_str(), nonBlocking, 0600, 2, true), 0);
    }
    void TearDown() override { EXPECT_EQ(CountedObject::live.load(), 0) << "a payload leaked"; }

    CQuorMsgQueue queue;
};

TEST_F(MsgSendTest, BothSendFormsDeliverAndHandThePayloadOver) {
    CQuorMsg byObject = MessageWithPayload(SIG_ID_MPLAYER_PLAY_RESP, 10, 1);
    CQuorMsg byHandle = MessageWithPayload(SIG_ID_MPLAYER_PAUSE_RESP, 10, 2);
    {
        TraceCapture capture(TRACE_MSG_OBJECT, TRACELEVEL_INFO);
        EXPECT_EQ(byObject.SendMsg(&queue, 0), 0);
        EXPECT_EQ(byHandle.SendMsg(queue.GetHandle(), 0), 0);
        EXPECT_THAT(capture.Text(), HasSubstr("CQuorMsg::SendMsg1 called - msg_queue="));
        EXPECT_THAT(
            capture.Text(),
            HasSubstr("CQuorMsg::SendMsg2 called - msg_queue=" + std::to_string(queue.GetHandle()) +
                      " Signal=" + std::to_string(SIG_ID_MPLAYER_PAUSE_RESP) + " Signal-Ptr="));
    }
    EXPECT_EQ(byObject.m_signalPtr, nullptr);
    EXPECT_EQ(byHandle.m_objPtr, nullptr);

    CQuorMsg received;
    ASSERT_EQ(received.ReceiveMsg(&queue, 12345), 0);
    EXPECT_EQ(received.m_signalName, SIG_ID_MPLAYER_PLAY_RESP);
    received.FreeSignal();
    ASSERT_EQ(received.ReceiveMsgFromNonblockingQueue(&queue, 7), 0);
    EXPECT_EQ(received.m_signalName, SIG_ID_MPLAYER_PAUSE_RESP);
    EXPECT_EQ(static_cast<unsigned char*>(received.m_signalPtr)[9], 2);
    received.FreeSignal();
    EXPECT_EQ(received.ReceiveMsg(nullptr, 0), -1420);
}

// Each row: the response queue (or -2: the queue pointer nullptr) and the
// result; a refused message's payload is released.
TEST_F(MsgSendTest, IndirectAndRefusedSendsReleaseThePayload) {
    struct Case {
        int responseQueue;
        int result;
    } const cases[] = {{0, -1300}, {queue.GetHandle(), 0}, {-1, -1423}, {-2, -1423}};
    for (Case const& c : cases) {
        CQuorMsg msg = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 10, 1);
        msg.m_responseQueue = c.responseQueue;
        TraceCapture capture(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG);
        EXPECT_EQ(c.responseQueue == -2 ? msg.SendMsg(static_cast<CQuorMsgQueue*>(nullptr), 0)
                                        : msg.SendMsgIndirect(3),
                  c.result);
        EXPECT_EQ(msg.m_signalPtr, nullptr);
        EXPECT_EQ(capture.Text().find("Response queue not set") != std::string::npos,
                  c.responseQueue == 0);
    }
    CQuorMsg toZero = MessageWithPayload(SIG_ID_MPLAYER_STOP_REQ, 10, 1);
    EXPECT_EQ(toZero.SendMsg(0, 0), -1427);
    CQuorMsg received;
    ASSERT_EQ(received.ReceiveMsg(&queue, 0), 0);
    EXPECT_EQ(received.m_signalName, SIG_ID_MPLAYER_OPEN_RESP);
    EXPECT_EQ(received.m_responseQueue, queue.GetHandle());
    received.FreeSignal();
    EXPECT_EQ(CountedObject::live.load(), 0);
}

} // namespace
