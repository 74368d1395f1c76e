#include "runtime/CQuorMsg.h"

#include <new>

#include "debug/QuorTrace.h"
#include "debug/QuorTraceUnits.h"

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
