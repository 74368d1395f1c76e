#include "runtime/CThreadObjectWithQueueRpc.h"

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"

int CThreadObjectWithQueueRpc::SendCmd(CQuorMsg* msg) {
    if (msg != nullptr) {
        TraceFormattedString(TRACE_RPC_THREAD, TRACELEVEL_DEBUG,
                             "CThreadObjectWithQueueRpc::SendCmd() called - msg = %s\n",
                             GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName)));
    }
    return CThreadObjectWithQueue::SendCmd(msg);
}

int CThreadObjectWithQueueRpc::GetThreadType() {
    return 4;
}

bool CThreadObjectWithQueueRpc::CheckForLostMsgs(CQuorMsg*, char const*) {
    return false;
}
