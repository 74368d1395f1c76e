#include "runtime/CQuorMsg.h"

#include <new>

#include "debug/QuorTrace.h"
#include "debug/QuorTraceUnits.h"
#include "runtime/CQuorMsgQueue.h"

CQuorMsg::CQuorMsg(CQuorMsg const& other) {
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
                         "CQuorMsg::Copy-Constructor called -- this=%p\n",
                         static_cast<void*>(this));
    m_signalSize = 0;
    m_signalPtr = nullptr;
    m_objPtr = nullptr;
    CopyMsg(other);
}

CQuorMsg& CQuorMsg::operator=(CQuorMsg const& other) {
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
                         "CQuorMsg::operator= called -- this=%p\n", static_cast<void*>(this));
    if (this != &other) {
        CopyMsg(other);
    }
    return *this;
}

int CQuorMsg::CopyMsg(CQuorMsg const& other) {
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
                         "CQuorMsg::CopyMsg called -- this=%p\n", static_cast<void*>(this));
    FreeSignal();

    m_signalName = other.m_signalName;
    m_userData = other.m_userData;
    m_responseQueue = other.m_responseQueue;
    m_responseInfo = other.m_responseInfo;
    m_timerObjPtr = other.m_timerObjPtr;
    m_callbackId = other.m_callbackId;
    m_callbackId2 = other.m_callbackId2;
    m_signalSize = other.m_signalSize;
    m_userData2 = other.m_userData2;
    std::memcpy(m_rpcInfo, other.m_rpcInfo, sizeof m_rpcInfo);

    int result = 0;
    m_signalPtr = nullptr;
    if (other.m_signalPtr != nullptr && other.m_signalSize > 0) {
        m_signalPtr = ::operator new(static_cast<std::size_t>(other.m_signalSize));
        std::memcpy(m_signalPtr, other.m_signalPtr, static_cast<std::size_t>(other.m_signalSize));
        TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
                             "CQuorMsg::CopyMsg -- signal struct copied -- copied struct=%p, "
                             "this=%p\n",
                             m_signalPtr, static_cast<void*>(this));
    } else {
        m_signalSize = 0;
        if (other.m_signalPtr != nullptr && other.m_signalSize == 0) {
            TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_ERROR,
                                 "CQuorMsg::CopyMsg - Signal = %ld - Signal pointer is set, but "
                                 "signalSize is 0\n",
                                 static_cast<long>(other.m_signalName));
            result = -1301;
        }
    }

    if (other.m_objPtr != nullptr) {
        m_objPtr = other.m_objPtr->Clone();
        TraceFormattedString(
            TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
            "CQuorMsg::CopyMsg -- signal object copied -- copied obj=%p, this=%p\n",
            static_cast<void*>(m_objPtr), static_cast<void*>(this));
    } else {
        m_objPtr = nullptr;
    }
    return result;
}

void CQuorMsg::FreeSignal() {
    if (m_signalPtr != nullptr) {
        TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_INFO,
                             "CQuorMsg::FreeSignal Signal=%ld Signal-Ptr=%p this=%p\n",
                             static_cast<long>(m_signalName), m_signalPtr,
                             static_cast<void*>(this));
        ::operator delete(m_signalPtr);
        m_signalPtr = nullptr;
    }
    if (m_objPtr != nullptr) {
        TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
                             "CQuorMsg::FreeSignal Obj-Ptr=%p this=%p\n",
                             static_cast<void*>(m_objPtr), static_cast<void*>(this));
        delete m_objPtr;
        m_objPtr = nullptr;
    }
}

int CQuorMsg::SendMsg(CQuorMsgQueue* queue, int prio) {
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_INFO,
                         "CQuorMsg::SendMsg1 called - msg_queue=%p Signal=%ld Signal-Ptr=%p "
                         "this=%p\n",
                         static_cast<void*>(queue), static_cast<long>(m_signalName), m_signalPtr,
                         static_cast<void*>(this));
    int const handle = queue != nullptr ? queue->GetHandle() : -1;
    int const result = CQuorMsgQueue::Send(handle, this, static_cast<unsigned>(prio));
    if (result != 0) {
        FreeSignal();
    }
    return result;
}

int CQuorMsg::SendMsg(int handle, int prio) {
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_INFO,
                         "CQuorMsg::SendMsg2 called - msg_queue=%d Signal=%ld Signal-Ptr=%p "
                         "this=%p\n",
                         handle, static_cast<long>(m_signalName), m_signalPtr,
                         static_cast<void*>(this));
    int const result = CQuorMsgQueue::Send(handle, this, static_cast<unsigned>(prio));
    if (result != 0) {
        FreeSignal();
    }
    return result;
}

int CQuorMsg::SendMsgIndirect(int prio) {
    if (m_responseQueue == 0) {
        TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG, "Response queue not set\n");
        FreeSignal();
        return -1300;
    }
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_INFO,
                         "CQuorMsg::SendMsgIndirect called - msg_queue=%d Signal=%ld "
                         "Signal-Ptr=%p this=%p\n",
                         m_responseQueue, static_cast<long>(m_signalName), m_signalPtr,
                         static_cast<void*>(this));
    int const result = CQuorMsgQueue::Send(m_responseQueue, this, static_cast<unsigned>(prio));
    if (result != 0) {
        FreeSignal();
    }
    return result;
}

// A missing queue object is treated like a queue without a handle.
int CQuorMsg::ReceiveMsg(CQuorMsgQueue* queue, int) {
    return queue != nullptr ? queue->Receive(this, 0) : -1420;
}

int CQuorMsg::ReceiveMsgFromNonblockingQueue(CQuorMsgQueue* queue, int) {
    TraceFormattedString(TRACE_MSG_OBJECT, TRACELEVEL_DEBUG,
                         "CQuorMsg::receive called - msg_queue=%p\n", static_cast<void*>(queue));
    return queue != nullptr ? queue->ReceiveFromNonblockingQueue(this, 0) : -1420;
}
