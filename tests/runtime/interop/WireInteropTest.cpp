// CQuorMsg against a process that builds the 48-byte image from the wire
// layout alone (WirePeer.cpp): what it sends arrives field by field, and the
// peer checks what the library answers at the documented offsets.
#include <fcntl.h>
#include <sys/wait.h>

#include <cstdint>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"
#include "support/SpawnProgram.h"

namespace {

using runtime_test::UniqueQueueName;

TEST(WireInterop, ImagesCrossToAndFromAPeerThatKnowsOnlyTheOffsets) {
    CQuorMsgQueue toLibrary;
    CQuorMsgQueue toPeer;
    std::string const toLibraryName = UniqueQueueName("wire_in");
    std::string const toPeerName = UniqueQueueName("wire_out");
    ASSERT_EQ(toLibrary.Open(toLibraryName.c_str(), O_RDWR | O_CREAT, 0600, 4, true), 0);
    ASSERT_EQ(toPeer.Open(toPeerName.c_str(), O_RDWR | O_CREAT, 0600, 4, true), 0);

    pid_t const peer = SpawnProgram(WIRE_PEER, {toLibraryName, toPeerName});
    ASSERT_GT(peer, 0);

    CQuorMsg msg;
    ASSERT_EQ(toLibrary.usleepOnQueue(30 * 1000 * 1000), 1) << "the peer sent nothing";
    ASSERT_EQ(msg.ReceiveMsg(&toLibrary, 0), 0);
    EXPECT_EQ(msg.m_signalName, SIG_ID_MPLAYER_OPEN_RESP);
    EXPECT_EQ(msg.m_userData, -2);
    EXPECT_EQ(msg.m_responseQueue, 0x01020304);
    EXPECT_EQ(msg.m_responseInfo, -0x05060709);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(msg.m_timerObjPtr), 0x090A0B0Cu);
    EXPECT_EQ(msg.m_callbackId, 0x0D0E0F10);
    EXPECT_EQ(msg.m_callbackId2, -3);
    EXPECT_EQ(0, std::memcmp(msg.m_rpcInfo, "\x21\x22\x23\x24", 4));
    EXPECT_EQ(msg.m_userData2, 0x25262728);
    EXPECT_EQ(msg.m_signalSize, 0);
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(msg.m_objPtr, nullptr);

    // The answer: every field one higher, each rpcInfo byte too.
    msg.m_signalName += 1;
    msg.m_userData += 1;
    msg.m_responseQueue += 1;
    msg.m_responseInfo += 1;
    msg.m_timerObjPtr =
        reinterpret_cast<TimeOutTimer*>(reinterpret_cast<std::uintptr_t>(msg.m_timerObjPtr) + 1);
    msg.m_callbackId += 1;
    msg.m_callbackId2 += 1;
    for (unsigned char& byte : msg.m_rpcInfo) {
        byte += 1;
    }
    msg.m_userData2 += 1;
    ASSERT_EQ(msg.SendMsg(&toPeer, 0), 0);

    int status = 0;
    ASSERT_EQ(waitpid(peer, &status, 0), peer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the peer's words are above";
}

} // namespace
