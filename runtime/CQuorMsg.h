#pragma once

#include <cstddef>
#include <cstring>

#include "runtime/CSignalObject.h"
#include "runtime/SignalIds.h"
#include "util/QuorExport.h"

class CQuorMsgQueue;
class TimeOutTimer;

// The one message type of the system. Queues carry the fields from
// m_signalName to m_objPtr as a fixed image (see WriteImage); the payload
// block and the signal object travel by pointer and belong to whoever holds
// the message. The destructor releases nothing: owners call FreeSignal().
//
// The constructors, the fields, the image and the destructor are inline so
// that platform libraries can build and deliver messages without linking
// against libquor.
class QUOR_EXPORT CQuorMsg {
public:
    CQuorMsg() = default;
    explicit CQuorMsg(unsigned long signalName) : m_signalName(signalName) {}
    CQuorMsg(CQuorMsg const& other);
    CQuorMsg& operator=(CQuorMsg const& other);
    virtual ~CQuorMsg() {}

    // Deep copy of other into this message: releases what this one holds,
    // duplicates the payload block and clones the signal object.
    // 0, or -1301 when other has a payload pointer but a size of 0.
    int CopyMsg(CQuorMsg const& other);

    // Releases the payload block and the signal object; m_signalSize stays.
    void FreeSignal();

    // Queue operations; on failure the payload and object are released.
    int SendMsg(CQuorMsgQueue* queue, int prio);
    int SendMsg(int handle, int prio);
    int SendMsgIndirect(int prio);
    int ReceiveMsg(CQuorMsgQueue* queue, int unused);
    int ReceiveMsgFromNonblockingQueue(CQuorMsgQueue* queue, int unused);

    // Size of the image that queues carry: 48 bytes on the 32-bit target.
    static constexpr std::size_t ImageSize =
        sizeof(unsigned long) + sizeof(long) + 2 * sizeof(int) + sizeof(TimeOutTimer*) +
        2 * sizeof(long) + 4 + sizeof(long) + sizeof(int) + sizeof(void*) + sizeof(CSignalObject*);
    static_assert(sizeof(void*) != 4 || ImageSize == 48, "the 32-bit image is 48 bytes");

    // Writes the image of the fields to out (ImageSize bytes), field by field.
    void WriteImage(unsigned char* out) const {
        Put(out, m_signalName);
        Put(out, m_userData);
        Put(out, m_responseQueue);
        Put(out, m_responseInfo);
        Put(out, m_timerObjPtr);
        Put(out, m_callbackId);
        Put(out, m_callbackId2);
        Put(out, m_rpcInfo);
        Put(out, m_userData2);
        Put(out, m_signalSize);
        Put(out, m_signalPtr);
        Put(out, m_objPtr);
    }

    // Overwrites the fields from an image written by WriteImage.
    void ReadImage(unsigned char const* in) {
        Get(in, m_signalName);
        Get(in, m_userData);
        Get(in, m_responseQueue);
        Get(in, m_responseInfo);
        Get(in, m_timerObjPtr);
        Get(in, m_callbackId);
        Get(in, m_callbackId2);
        Get(in, m_rpcInfo);
        Get(in, m_userData2);
        Get(in, m_signalSize);
        Get(in, m_signalPtr);
        Get(in, m_objPtr);
    }

    unsigned long m_signalName = 0; // a SignalIds value
    long m_userData = 0;
    int m_responseQueue = 0;
    int m_responseInfo = 0;
    TimeOutTimer* m_timerObjPtr = nullptr;
    long m_callbackId = 0;
    long m_callbackId2 = 0;
    unsigned char m_rpcInfo[4] = {0, 0, 0, 0}; // byte 2: cross-CPU sequence number
    long m_userData2 = 0;
    int m_signalSize = 0;
    void* m_signalPtr = nullptr; // plain operator new block of m_signalSize bytes
    CSignalObject* m_objPtr = nullptr;

private:
    template <typename T> static void Put(unsigned char*& out, T const& field) {
        std::memcpy(out, &field, sizeof field);
        out += sizeof field;
    }
    template <typename T> static void Get(unsigned char const*& in, T& field) {
        std::memcpy(&field, in, sizeof field);
        in += sizeof field;
    }
};

// Whether the queue with this handle was opened in blocking mode; false when
// its attributes cannot be read.
QUOR_EXPORT bool QueueTypeIsBlocking(int handle);
