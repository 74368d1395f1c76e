#include <fcntl.h>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

using runtime_test::CountedObject;
using runtime_test::MessageWithPayload;
using runtime_test::UniqueQueueName;

class MsgSendTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(queue.Open(UniqueQueueName("msg").c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 2,
                             true),
                  0);
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
        std::string const out = capture.Text();
        EXPECT_NE(out.find("CQuorMsg::SendMsg1 called - msg_queue="), std::string::npos);
        EXPECT_NE(
            out.find("CQuorMsg::SendMsg2 called - msg_queue=" + std::to_string(queue.GetHandle()) +
                     " Signal=" + std::to_string(SIG_ID_MPLAYER_PAUSE_RESP) + " Signal-Ptr="),
            std::string::npos)
            << out;
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
}

TEST_F(MsgSendTest, FailedSendsReleaseThePayload) {
    CQuorMsg filler1(1);
    CQuorMsg filler2(1);
    ASSERT_EQ(filler1.SendMsg(&queue, 0), 0);
    ASSERT_EQ(filler2.SendMsg(&queue, 0), 0);

    CQuorMsg full = MessageWithPayload(SIG_ID_MPLAYER_STOP_REQ, 10, 1);
    EXPECT_EQ(full.SendMsg(&queue, 0), -1421);
    EXPECT_EQ(full.m_signalPtr, nullptr);
    CQuorMsg toZero = MessageWithPayload(SIG_ID_MPLAYER_STOP_REQ, 10, 1);
    EXPECT_EQ(toZero.SendMsg(0, 0), -1427);
    CQuorMsg toNone = MessageWithPayload(SIG_ID_MPLAYER_STOP_REQ, 10, 1);
    EXPECT_EQ(toNone.SendMsg(static_cast<CQuorMsgQueue*>(nullptr), 0), -1423);
    EXPECT_EQ(CountedObject::live.load(), 0);
    EXPECT_EQ(toNone.ReceiveMsg(nullptr, 0), -1420);
    queue.ClearQueue();
}

TEST_F(MsgSendTest, SendMsgIndirectGoesToTheResponseQueue) {
    CQuorMsg unset = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 10, 1);
    {
        TraceCapture capture(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG);
        EXPECT_EQ(unset.SendMsgIndirect(0), -1300);
        EXPECT_NE(capture.Text().find("Response queue not set"), std::string::npos);
    }
    EXPECT_EQ(unset.m_signalPtr, nullptr);
    EXPECT_EQ(CountedObject::live.load(), 0);

    CQuorMsg reply = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 10, 1);
    reply.m_responseQueue = queue.GetHandle();
    EXPECT_EQ(reply.SendMsgIndirect(3), 0);
    CQuorMsg received;
    ASSERT_EQ(received.ReceiveMsg(&queue, 0), 0);
    EXPECT_EQ(received.m_signalName, SIG_ID_MPLAYER_OPEN_RESP);
    EXPECT_EQ(received.m_responseQueue, queue.GetHandle());
    received.FreeSignal();

    CQuorMsg toClosed = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 10, 1);
    toClosed.m_responseQueue = -1;
    EXPECT_EQ(toClosed.SendMsgIndirect(0), -1423);
    EXPECT_EQ(CountedObject::live.load(), 0);
}

} // namespace
