#include "runtime/CQuorRpcMsgSrcPosix.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "debug/TraceColors.h"
#include "runtime/CQuorMsg.h"
#include "runtime/TraceLine.h"

std::atomic<unsigned> CQuorRpcMsgSrcPosix::totalNrOfRpcCalls{0};

namespace {

char const* SignalName(CQuorMsg const* msg) {
    return GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName));
}

} // namespace

CQuorRpcMsgSrcPosix::CQuorRpcMsgSrcPosix() = default;

CQuorRpcMsgSrcPosix::~CQuorRpcMsgSrcPosix() {
    // The thread goes first: it is the one that uses the target.
    StopThreadAndWait();
    if (m_targetOpen) {
        mq_close(m_targetHandle);
    }
}

int CQuorRpcMsgSrcPosix::Init(char const* name, int maxNrOfMsgs, _tagCPUID,
                              std::string targetName) {
    int const rc = CThreadObjectWithQueue::Init(name, maxNrOfMsgs, 0, false, true);
    m_targetName = std::move(targetName);
    m_targetQueueName = RpcQueueName(m_targetName);
    return rc;
}

int CQuorRpcMsgSrcPosix::SendCmd(CQuorMsg* msg) {
    if (msg != nullptr && msg->m_objPtr != nullptr) {
        TraceLine(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR, [&](std::ostream& t) {
            t << "CQuorRpcMsgSrcPosix::SendCmd() - Sending objects via RPC not yet supported - "
              << GetQueueName() << " - Signal = " << msg->m_signalName
              << ", Signal Name = " << SignalName(msg);
        });
        msg->FreeSignal();
        return -1320;
    }
    return CThreadObjectWithQueue::SendCmd(msg);
}

void CQuorRpcMsgSrcPosix::ProcessQuorMsg(CQuorMsg* msg) {
    TraceLine(TRACE_CPU_COMM_SRC, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "CQuorRpcMsgSrcPosix::ProcessQuorMsg called for sending IPC msg -- Signal = "
          << msg->m_signalName << ", Signal Name = " << SignalName(msg);
    });
    SendMsgViaRpcPosixQueue(msg);
}

void CQuorRpcMsgSrcPosix::IncSequenceCtr() {
    m_sequenceCtr = NextRpcSequenceNr(m_sequenceCtr);
}

// Without O_CREAT: the destination creates the queue. Blocking, so that a
// full destination queue holds the source back instead of losing records.
bool CQuorRpcMsgSrcPosix::OpenTarget() {
    mqd_t const handle = mq_open(m_targetQueueName.c_str(), O_WRONLY | O_CLOEXEC);
    if (handle == static_cast<mqd_t>(-1)) {
        TraceLine(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR, [&](std::ostream& t) {
            t << "CQuorRpcMsgSrcPosix::SendMsgViaRpcPosixQueue() - Error opening target queue : "
              << m_targetQueueName;
        });
        return false;
    }
    m_targetHandle = handle;
    m_targetOpen = true;
    TraceLine(TRACE_CPU_COMM_SRC, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "CQuorRpcMsgSrcPosix::SendMsgViaRpcPosixQueue() - rc = 0 - " << m_targetHandle
          << " - Target Func = " << m_targetQueueName;
    });
    return true;
}

int CQuorRpcMsgSrcPosix::SendMsgViaRpcPosixQueue(CQuorMsg* msg) {
    if (msg == nullptr) {
        return -1;
    }
    m_callCtr.store(m_callCtr.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    totalNrOfRpcCalls.fetch_add(1, std::memory_order_relaxed);
    TraceFormattedString(TRACE_CPU_COMM_SRC, TRACELEVEL_DEBUG,
                         "CQuorRpcMsgSrcPosix: SendMsgViaRpcPosixQueue() called\n");
    if (!m_targetOpen && !OpenTarget()) {
        msg->FreeSignal();
        return -1;
    }

    int const size = msg->m_signalSize;
    void* block = nullptr;
    unsigned long physical = 0;
    if (size > 0 && msg->m_signalPtr != nullptr) {
        block = Chip_Util_CPUComm_Malloc(static_cast<unsigned>(size));
        if (block != nullptr) {
            std::memcpy(block, msg->m_signalPtr, static_cast<std::size_t>(size));
            // Converted after the copy: the library orders the bytes before
            // the address that names them.
            physical = Chip_Util_CPUComm_Convert2PhyAddr(block);
            if (physical == 0) {
                Chip_Util_CPUComm_Free(block);
            }
        }
        if (physical == 0) {
            TraceLine(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR, [&](std::ostream& t) {
                t << "CQuorRpcMsgSrc::CQuorRpcMsgSrcPosix: Chip_Util_CPUComm_Malloc failed"
                  << ", function = " << m_targetQueueName;
            });
            msg->FreeSignal();
            return -1322;
        }
        TraceLine(TRACE_CPU_COMM_SRC, TRACELEVEL_DEBUG, [&](std::ostream& t) {
            t << "CQuorRpcMsgSrcPosix: Chip_Util_CPUComm_Malloc o.k. - Addr = " << block
              << ", function = " << m_targetQueueName;
        });
    }

    TraceFormattedString(TRACE_CPU_COMM_SRC, TRACELEVEL_DEBUG,
                         "CQuorRpcMsgSrcPosix: SendMsgViaRpcPosixQueue() called 2\n");
    msg->FreeSignal();
    msg->m_signalPtr = reinterpret_cast<void*>(physical);
    msg->m_signalSize = size;

    TraceFormattedString(TRACE_CPU_COMM_SRC, TRACELEVEL_INFO,
                         "%s CQuorRpcMsgSrcPosix:: Current Sequence-Ctr = %d %s\n", CS_CYAN,
                         m_sequenceCtr, CS_NORMAL);
    msg->m_rpcInfo[rpcSequenceNrByte] = m_sequenceCtr;
    TraceFormattedString(TRACE_CPU_COMM_SRC, TRACELEVEL_INFO,
                         "%s CQuorRpcMsgSrcPosix:: Sending IPC msg -- Signal Id = %ld Signal Ptr "
                         "(phys) = %p Sequence-Ctr = %d Variable = %d %s\n",
                         CS_CYAN, static_cast<long>(msg->m_signalName), msg->m_signalPtr,
                         m_sequenceCtr, static_cast<int>(GetNrOfRpcCalls()), CS_NORMAL);
    IncSequenceCtr();
    TraceFormattedString(TRACE_CPU_COMM_SRC, TRACELEVEL_INFO,
                         "%s CQuorRpcMsgSrcPosix:: Next Sequence-Ctr = %d %s\n", CS_CYAN,
                         m_sequenceCtr, CS_NORMAL);

    unsigned char image[CQuorMsg::ImageSize];
    msg->WriteImage(image);
    int const rc = mq_send(m_targetHandle, reinterpret_cast<char const*>(image), sizeof image, 0);
    int const error = errno;
    if (rc == 0) {
        // The block is the destination's now.
        msg->m_signalPtr = nullptr;
        msg->m_signalSize = 0;
        return 0;
    }
    TraceFormattedString(TRACE_CPU_COMM_SRC, TRACELEVEL_ERROR,
                         "CQuorRpcMsgSrcPosix::Send (FAILED - handle=%d rc2=%d errno=%d "
                         "signal=%lu %s\n",
                         static_cast<int>(m_targetHandle), rc, error, msg->m_signalName,
                         SignalName(msg));
    if (physical != 0) {
        Chip_Util_CPUComm_Free(reinterpret_cast<void*>(physical));
    }
    msg->m_signalPtr = nullptr;
    msg->m_signalSize = 0;
    return -1421;
}
