#include "runtime/CQuorRpcMsgDestPosix.h"

#include <cstring>
#include <new>

#include "debug/TraceColors.h"
#include "runtime/CQuorMsg.h"
#include "runtime/RpcTransportRules.h"
#include "runtime/TraceLine.h"

unsigned CQuorRpcMsgDestPosix::totalNrOfRpcCalls = 0;

namespace {

constexpr int inputQueueLength = 50;
constexpr int inputQueueMode = 0660;

char const* SignalName(CQuorMsg const* msg) {
    return GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName));
}

} // namespace

CQuorRpcMsgDestPosix::CQuorRpcMsgDestPosix() = default;

CQuorRpcMsgDestPosix::~CQuorRpcMsgDestPosix() {
    // The thread notifies the registries: it ends before anything else goes.
    StopThreadAndWait();
}

int CQuorRpcMsgDestPosix::Init(char const* functionName,
                               void (*)(_tagCPUFuncCallParam*, _tagCPUFuncCallReturn*), int,
                               int queueHandle, long callbackId) {
    TraceLine(TRACE_CPU_COMM_DST, TRACELEVEL_INFO, [&](std::ostream& t) {
        t << "CQuorRpcMsgDestPosix() - Init called - Queue handle = " << queueHandle;
    });
    RegisterCallbackQueue(queueHandle, callbackId, 0, 0);
    m_functionName = functionName != nullptr ? functionName : "";
    std::string const inputQueueName = RpcQueueName(m_functionName);
    TraceLine(TRACE_CPU_COMM_DST, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "CQuorRpcMsgDestPosix::Init() IpcInputQueuename = " << inputQueueName;
    });
    int const rc = CThreadObjectWithQueue::Init(inputQueueName.c_str(), inputQueueLength,
                                                inputQueueMode, true, false);
    if (rc != 0) {
        TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_WARNING,
                             "CQuorRpcMsgDestPosix::Init() FAILED - %d - %s\n", rc,
                             inputQueueName.c_str());
    } else {
        TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_DEBUG,
                             "CQuorRpcMsgDestPosix::Init() - %d - %s\n", rc,
                             inputQueueName.c_str());
    }
    // An uninitialised thread refuses to start.
    StartThread(m_functionName.c_str(), 0, 0);
    TraceLine(TRACE_CPU_COMM_DST, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "CQuorRpcMsgDestPosix::Init() done - rc = " << rc << " - "
          << "Queue handle = " << queueHandle;
    });
    return rc;
}

// Records still waiting when the thread stops stay in the public queue for
// the next destination: their payload addresses name shared blocks, which
// the release of a plain queue thread would hand to operator delete.
void CQuorRpcMsgDestPosix::ThreadWorkFunction() {
    BeforeProcessingMsgs();
    ReadMsgsFromNonBlockingQueue();
}

void CQuorRpcMsgDestPosix::IncSequenceCtr() {
    m_expectedSequenceNr = NextRpcSequenceNr(m_expectedSequenceNr);
}

void CQuorRpcMsgDestPosix::ProcessQuorMsg(CQuorMsg* msg) {
    TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_INFO,
                         "%sCQuorRpcMsgDestPosix::ProcessQuorMsg called for IPC msg -- Signal Id "
                         "= %ld Signal Ptr (phys) = %p Sequence-Ctr = %d %s\n",
                         CS_CYAN, static_cast<long>(msg->m_signalName), msg->m_signalPtr,
                         msg->m_rpcInfo[rpcSequenceNrByte], CS_NORMAL);
    // An object pointer of another process means nothing here.
    msg->m_objPtr = nullptr;
    if (!CopyPayloadOutOfSharedMemory(msg)) {
        return;
    }
    TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_INFO_MAGENTA,
                         "CQuorRpcMsgDestPosix:: IPC msg received - SeqCtr = %d, Expected = %u, "
                         "Func = %s, SignalName = %ld = %s\n",
                         msg->m_rpcInfo[rpcSequenceNrByte], m_expectedSequenceNr,
                         m_functionName.c_str(), static_cast<long>(msg->m_signalName),
                         SignalName(msg));
    CheckSequenceNr(msg);
    NotifyObserversAll(msg);
}

bool CQuorRpcMsgDestPosix::CopyPayloadOutOfSharedMemory(CQuorMsg* msg) {
    int const size = msg->m_signalSize;
    if (size == 0 || msg->m_signalPtr == nullptr) {
        msg->m_signalPtr = nullptr;
        return true;
    }
    if (size < 0) {
        // The shared block cannot be freed either: without a size nothing
        // says that the address names a block of this record.
        TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR,
                             "CQuorRpcMsgDestPosix::Illegal signal size %d - record dropped - "
                             "Func = %s, SignalName = %ld = %s\n",
                             size, m_functionName.c_str(), static_cast<long>(msg->m_signalName),
                             SignalName(msg));
        msg->m_signalPtr = nullptr;
        return false;
    }
    auto const physical = reinterpret_cast<unsigned long>(msg->m_signalPtr);
    void* const shared = Chip_Util_CPUComm_Convert2VirtualAddr(physical);
    TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_DEBUG,
                         "CQuorRpcMsgDestPosix:: Signal pointers -- received=%p, virtual=%p\n",
                         msg->m_signalPtr, shared);
    msg->m_signalPtr = nullptr;
    if (shared == nullptr) {
        TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR,
                             "CQuorRpcMsgDestPosix::Cannot get signal ptr - Func = %s, SignalName "
                             "= %ld = %s\n",
                             m_functionName.c_str(), static_cast<long>(msg->m_signalName),
                             SignalName(msg));
        return false;
    }
    void* const local = ::operator new(static_cast<std::size_t>(size));
    std::memcpy(local, shared, static_cast<std::size_t>(size));
    msg->m_signalPtr = local;
    TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_DEBUG,
                         "CQuorRpcMsgDestPosix::Signal struct copied -- copied struct=%p, "
                         "this=%p, size=%d\n",
                         local, static_cast<void*>(this), size);
    Chip_Util_CPUComm_Free(shared);
    return true;
}

void CQuorRpcMsgDestPosix::CheckSequenceNr(CQuorMsg const* msg) {
    unsigned char const received = msg->m_rpcInfo[rpcSequenceNrByte];
    if (m_expectedSequenceNr != 0 && received != rpcFirstSequenceNr &&
        received != m_expectedSequenceNr) {
        TraceFormattedString(TRACE_CPU_COMM_DST, TRACELEVEL_ERROR,
                             "CQuorRpcMsgDestPosix::Illegal sequence nr - Messages out of order or "
                             "missed - Received = %d, Expected = %d, Func = %s, SignalName = %ld = "
                             "%s\n",
                             received, m_expectedSequenceNr, m_functionName.c_str(),
                             static_cast<long>(msg->m_signalName), SignalName(msg));
    }
    // In every case the expectation follows the record received (after 1: 2).
    m_expectedSequenceNr = received;
    IncSequenceCtr();
}
