#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "runtime/CQuorMsg.h"

namespace {

// A signal object that counts live instances, to see clones and releases.
class CountedObject : public CSignalObject {
public:
    explicit CountedObject(int value) : value(value) { ++live; }
    CountedObject(CountedObject const& other) : CSignalObject(other), value(other.value) { ++live; }
    ~CountedObject() override { --live; }
    CSignalObject* Clone() const override { return new CountedObject(*this); }

    int value;
    static int live;
};
int CountedObject::live = 0;

void* MakePayload(std::size_t size, unsigned char fill) {
    void* block = ::operator new(size);
    std::memset(block, fill, size);
    return block;
}

CQuorMsg MessageWithPayload(unsigned long signal, std::size_t size, unsigned char fill) {
    CQuorMsg msg(signal);
    msg.m_signalPtr = MakePayload(size, fill);
    msg.m_signalSize = static_cast<int>(size);
    return msg;
}

TEST(CQuorMsgConstruction, AllFieldsStartAtZero) {
    CQuorMsg msg(SIG_ID_STOP_THREAD);
    EXPECT_EQ(msg.m_signalName, SIG_ID_STOP_THREAD);
    EXPECT_EQ(msg.m_userData, 0);
    EXPECT_EQ(msg.m_responseQueue, 0);
    EXPECT_EQ(msg.m_responseInfo, 0);
    EXPECT_EQ(msg.m_timerObjPtr, nullptr);
    EXPECT_EQ(msg.m_callbackId, 0);
    EXPECT_EQ(msg.m_callbackId2, 0);
    EXPECT_EQ(msg.m_userData2, 0);
    EXPECT_EQ(msg.m_signalSize, 0);
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(msg.m_objPtr, nullptr);
    EXPECT_EQ(0, std::memcmp(msg.m_rpcInfo, "\0\0\0\0", 4));
    EXPECT_EQ(CQuorMsg().m_signalName, SIG_ID_NULL);
}

TEST(CQuorMsgCopy, CopyDuplicatesPayloadAndEveryField) {
    CQuorMsg source = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 12, 0xAB);
    source.m_userData = -7;
    source.m_responseQueue = 12;
    source.m_responseInfo = -3;
    source.m_callbackId = 5;
    source.m_callbackId2 = 6;
    source.m_userData2 = 99;
    std::memcpy(source.m_rpcInfo, "\x01\x02\x03\x04", 4);

    CQuorMsg copy(source);
    ASSERT_NE(copy.m_signalPtr, nullptr);
    EXPECT_NE(copy.m_signalPtr, source.m_signalPtr);
    EXPECT_EQ(copy.m_signalSize, 12);
    EXPECT_EQ(0, std::memcmp(copy.m_signalPtr, source.m_signalPtr, 12));
    EXPECT_EQ(copy.m_signalName, SIG_ID_MPLAYER_OPEN_RESP);
    EXPECT_EQ(copy.m_userData, -7);
    EXPECT_EQ(copy.m_responseQueue, 12);
    EXPECT_EQ(copy.m_responseInfo, -3);
    EXPECT_EQ(copy.m_callbackId, 5);
    EXPECT_EQ(copy.m_callbackId2, 6);
    EXPECT_EQ(copy.m_userData2, 99);
    EXPECT_EQ(0, std::memcmp(copy.m_rpcInfo, "\x01\x02\x03\x04", 4));

    // Releasing one leaves the other intact (ASan reports a use after free otherwise).
    source.FreeSignal();
    EXPECT_EQ(static_cast<unsigned char*>(copy.m_signalPtr)[11], 0xAB);
    copy.FreeSignal();
}

TEST(CQuorMsgCopy, PayloadPointerWithSizeZeroIsRefused) {
    unsigned char block[4] = {1, 2, 3, 4};
    CQuorMsg source(SIG_ID_MPLAYER_ERROR_IND);
    source.m_signalPtr = block;
    source.m_signalSize = 0;

    CQuorMsg target;
    EXPECT_EQ(target.CopyMsg(source), -1301);
    EXPECT_EQ(target.m_signalPtr, nullptr);
    EXPECT_EQ(target.m_signalSize, 0);
    EXPECT_EQ(target.m_signalName, SIG_ID_MPLAYER_ERROR_IND);
    // The source is unchanged.
    EXPECT_EQ(source.m_signalPtr, block);
    EXPECT_EQ(source.m_signalSize, 0);
}

TEST(CQuorMsgCopy, NegativeSizeCopiesNoPayloadAndSucceeds) {
    unsigned char block[4] = {};
    CQuorMsg source(SIG_ID_MPLAYER_ERROR_IND);
    source.m_signalPtr = block;
    source.m_signalSize = -4;
    CQuorMsg target;
    EXPECT_EQ(target.CopyMsg(source), 0);
    EXPECT_EQ(target.m_signalPtr, nullptr);
    EXPECT_EQ(target.m_signalSize, 0);
}

TEST(CQuorMsgAssignment, SelfAssignmentKeepsThePayload) {
    CQuorMsg msg = MessageWithPayload(SIG_ID_MPLAYER_PLAY_RESP, 8, 0x11);
    void* const before = msg.m_signalPtr;
    CQuorMsg& alias = msg;
    msg = alias;
    EXPECT_EQ(msg.m_signalPtr, before);
    EXPECT_EQ(static_cast<unsigned char*>(msg.m_signalPtr)[7], 0x11);
    msg.FreeSignal();
}

TEST(CQuorMsgAssignment, AssignmentReleasesTheHeldPayloadFirst) {
    CountedObject::live = 0;
    CQuorMsg target = MessageWithPayload(SIG_ID_MPLAYER_PLAY_RESP, 100, 0x22);
    target.m_objPtr = new CountedObject(1);
    CQuorMsg source = MessageWithPayload(SIG_ID_MPLAYER_PAUSE_RESP, 3, 0x33);

    target = source; // LeakSanitizer reports the old 100-byte block if it is not released
    EXPECT_EQ(CountedObject::live, 0);
    EXPECT_EQ(target.m_objPtr, nullptr);
    EXPECT_EQ(target.m_signalSize, 3);
    EXPECT_EQ(static_cast<unsigned char*>(target.m_signalPtr)[2], 0x33);
    target.FreeSignal();
    source.FreeSignal();
}

TEST(CQuorMsgSignalObject, CopyClonesAndFreeSignalDeletes) {
    CountedObject::live = 0;
    CQuorMsg source(SIG_ID_FIRST_GENERAL_MSG);
    source.m_objPtr = new CountedObject(42);
    CQuorMsg copy(source);
    ASSERT_NE(copy.m_objPtr, nullptr);
    EXPECT_NE(copy.m_objPtr, source.m_objPtr);
    EXPECT_EQ(static_cast<CountedObject*>(copy.m_objPtr)->value, 42);
    EXPECT_EQ(CountedObject::live, 2);
    copy.FreeSignal();
    source.FreeSignal();
    EXPECT_EQ(CountedObject::live, 0);
    EXPECT_EQ(source.m_objPtr, nullptr);
}

TEST(CQuorMsgFreeSignal, KeepsTheSizeAndASecondCallDoesNothing) {
    CQuorMsg msg = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 16, 0);
    msg.FreeSignal();
    EXPECT_EQ(msg.m_signalPtr, nullptr);
    EXPECT_EQ(msg.m_signalSize, 16);
    msg.FreeSignal(); // a double release would abort under AddressSanitizer
    EXPECT_EQ(msg.m_signalPtr, nullptr);
}

TEST(CQuorMsgLifetime, DestructorDoesNotReleaseThePayload) {
    void* block = nullptr;
    {
        CQuorMsg msg = MessageWithPayload(SIG_ID_MPLAYER_OPEN_RESP, 4, 0x5A);
        block = msg.m_signalPtr;
    }
    // Still ours: reading it is valid only if the destructor left it alone.
    EXPECT_EQ(static_cast<unsigned char*>(block)[3], 0x5A);
    ::operator delete(block);
}

TEST(CQuorMsgImage, RoundTripsEveryFieldInOrder) {
    CQuorMsg source(SIG_ID_MPLAYER_EOS_IND);
    source.m_userData = 0x01020304;
    source.m_responseQueue = 17;
    source.m_responseInfo = -9;
    source.m_timerObjPtr = reinterpret_cast<TimeOutTimer*>(0x1000);
    source.m_callbackId = 77;
    source.m_callbackId2 = 78;
    std::memcpy(source.m_rpcInfo, "\x0a\x0b\x0c\x0d", 4);
    source.m_userData2 = -1;
    source.m_signalSize = 24;
    source.m_signalPtr = reinterpret_cast<void*>(0x2000);
    source.m_objPtr = reinterpret_cast<CSignalObject*>(0x3000);

    unsigned char image[CQuorMsg::ImageSize];
    source.WriteImage(image);
    unsigned long signal = 0;
    std::memcpy(&signal, image, sizeof signal);
    EXPECT_EQ(signal, SIG_ID_MPLAYER_EOS_IND) << "the signal id leads the image";
    void* objPtr = nullptr;
    std::memcpy(&objPtr, image + CQuorMsg::ImageSize - sizeof objPtr, sizeof objPtr);
    EXPECT_EQ(objPtr, reinterpret_cast<void*>(0x3000)) << "the signal object ends the image";

    CQuorMsg target;
    target.ReadImage(image);
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
