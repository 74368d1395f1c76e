#include <array>
#include <cstring>
#include <new>

#include "RuntimeTestSupport.h"

namespace {

using runtime_test::CountedObject;
using runtime_test::MessageWithPayload;

using Image = std::array<unsigned char, CQuorMsg::ImageSize>;

Image ImageOf(CQuorMsg const& msg) {
    Image image{}; // gaps between fields stay zero
    msg.WriteImage(image.data());
    return image;
}

// Every field but the payload and the signal object set to a value of its own.
CQuorMsg Filled(unsigned long signal) {
    CQuorMsg msg(signal);
    msg.m_userData = 0x01020304;
    msg.m_responseQueue = 17;
    msg.m_responseInfo = -9;
    msg.m_timerObjPtr = reinterpret_cast<TimeOutTimer*>(0x1000);
    msg.m_callbackId = 77;
    msg.m_callbackId2 = 78;
    std::memcpy(msg.m_rpcInfo, "\x0a\x0b\x0c\x0d", 4);
    msg.m_userData2 = -1;
    return msg;
}

TEST(CQuorMsgConstruction, AllFieldsStartAtZero) {
    Image expected{};
    unsigned long const signal = SIG_ID_STOP_THREAD;
    std::memcpy(expected.data(), &signal, sizeof signal);
    EXPECT_EQ(ImageOf(CQuorMsg(SIG_ID_STOP_THREAD)), expected);
    EXPECT_EQ(ImageOf(CQuorMsg()), Image{});
}

TEST(CQuorMsgCopy, CopyDuplicatesPayloadObjectAndEveryField) {
    CQuorMsg source = Filled(SIG_ID_MPLAYER_OPEN_RESP);
    source.m_signalPtr = ::operator new(12);
    std::memset(source.m_signalPtr, 0xAB, 12);
    source.m_signalSize = 12;
    source.m_objPtr = new CountedObject;
    CQuorMsg copy(source);
    ASSERT_NE(copy.m_signalPtr, nullptr);
    EXPECT_NE(copy.m_signalPtr, source.m_signalPtr);
    ASSERT_NE(copy.m_objPtr, nullptr);
    EXPECT_NE(copy.m_objPtr, source.m_objPtr);
    EXPECT_EQ(CountedObject::live.load(), 2);
    EXPECT_EQ(0, std::memcmp(copy.m_signalPtr, source.m_signalPtr, 12));
    Image image = ImageOf(copy);
    std::size_t const pointers = CQuorMsg::ImageSize - 2 * sizeof(void*);
    std::memcpy(image.data() + pointers, ImageOf(source).data() + pointers, 2 * sizeof(void*));
    EXPECT_EQ(image, ImageOf(source)) << "every other field is copied";
    // Releasing one leaves the other intact (ASan reports a use after free otherwise).
    source.FreeSignal();
    EXPECT_EQ(static_cast<unsigned char*>(copy.m_signalPtr)[11], 0xAB);
    copy.FreeSignal();
    EXPECT_EQ(CountedObject::live.load(), 0);
    EXPECT_EQ(source.m_objPtr, nullptr);
}

TEST(CQuorMsgCopy, PayloadPointerWithSizeZeroIsRefusedAndNegativeSizeCopiesNothing) {
    unsigned char block[4] = {1, 2, 3, 4};
    CQuorMsg source(SIG_ID_MPLAYER_ERROR_IND);
    source.m_signalPtr = block;
    for (int size : {0, -4}) {
        source.m_signalSize = size;
        CQuorMsg target;
        EXPECT_EQ(target.CopyMsg(source), size == 0 ? -1301 : 0);
        EXPECT_EQ(target.m_signalPtr, nullptr);
        EXPECT_EQ(target.m_signalSize, 0);
        EXPECT_EQ(target.m_signalName, SIG_ID_MPLAYER_ERROR_IND);
        EXPECT_EQ(source.m_signalPtr, block) << "the source is unchanged";
    }
}

TEST(CQuorMsgAssignment, ReleasesTheHeldPayloadFirstButNotOnSelfAssignment) {
    CQuorMsg target = MessageWithPayload(SIG_ID_MPLAYER_PLAY_RESP, 100, 0x22);
    CQuorMsg& alias = target;
    target = alias;
    EXPECT_EQ(static_cast<unsigned char*>(target.m_signalPtr)[99], 0x22);
    EXPECT_EQ(CountedObject::live.load(), 1);
    CQuorMsg source = MessageWithPayload(SIG_ID_MPLAYER_PAUSE_RESP, 3, 0x33);
    delete source.m_objPtr;
    source.m_objPtr = nullptr;
    target = source; // LeakSanitizer reports the old 100-byte block if it is not released
    EXPECT_EQ(CountedObject::live.load(), 0);
    EXPECT_EQ(target.m_objPtr, nullptr);
    EXPECT_EQ(target.m_signalSize, 3);
    EXPECT_EQ(static_cast<unsigned char*>(target.m_signalPtr)[2], 0x33);
    target.FreeSignal();
    source.FreeSignal();
}

TEST(CQuorMsgFreeSignal, KeepsTheSizeOnlyOnceAndNotInTheDestructor) {
    CQuorMsg msg = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 16, 0);
    msg.FreeSignal();
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(msg.m_signalSize, 16);
    msg.FreeSignal(); // a double release would abort under AddressSanitizer
    void* block = nullptr;
    {
        CQuorMsg held = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 4, 0x5A);
        block = held.m_signalPtr;
        delete held.m_objPtr;
    }
    // Still ours: reading it is valid only if the destructor left it alone.
    EXPECT_EQ(static_cast<unsigned char*>(block)[3], 0x5A);
    ::operator delete(block);
}

TEST(CQuorMsgImage, RoundTripsEveryFieldInOrder) {
    CQuorMsg source = Filled(SIG_ID_MPLAYER_EOS_IND);
    source.m_signalSize = 24;
    source.m_signalPtr = reinterpret_cast<void*>(0x2000);
    source.m_objPtr = reinterpret_cast<CSignalObject*>(0x3000);

    Image const image = ImageOf(source);
    unsigned long signal = 0;
    std::memcpy(&signal, image.data(), sizeof signal);
    EXPECT_EQ(signal, SIG_ID_MPLAYER_EOS_IND) << "the signal id leads the image";
    void* objPtr = nullptr;
    std::memcpy(&objPtr, image.data() + CQuorMsg::ImageSize - sizeof objPtr, sizeof objPtr);
    EXPECT_EQ(objPtr, reinterpret_cast<void*>(0x3000)) << "the signal object ends the image";

    CQuorMsg target;
    target.ReadImage(image.data());
    EXPECT_EQ(target.m_signalName, source.m_signalName);
    EXPECT_EQ(target.m_userData, source.m_userData);
    EXPECT_EQ(target.m_responseQueue, 17);
    EXPECT_EQ(target.m_responseInfo, -9);
    EXPECT_EQ(target.m_timerObjPtr, source.m_timerObjPtr);
    EXPECT_EQ(target.m_callbackId, 77);
    EXPECT_EQ(target.m_callbackId2, 78);
    EXPECT_EQ(0, std::memcmp(target.m_rpcInfo, source.m_rpcInfo, 4));
    EXPECT_EQ(target.m_userData2, -1);
    EXPECT_EQ(target.m_signalSize, 24);
    EXPECT_EQ(target.m_signalPtr, source.m_signalPtr);
    EXPECT_EQ(target.m_objPtr, source.m_objPtr);
}

} // namespace
