#pragma once

#include "runtime/CThreadObjectWithQueue.h"

// A queue thread marked as an RPC thread (type 4).
class QUOR_EXPORT CThreadObjectWithQueueRpc : public CThreadObjectWithQueue {
public:
    CThreadObjectWithQueueRpc() = default;
    explicit CThreadObjectWithQueueRpc(int dbgId) : CThreadObjectWithQueue(dbgId) {}

    int SendCmd(CQuorMsg* msg) override;
    int GetThreadType() override;
    // Lost messages are not detected: always false.
    bool CheckForLostMsgs(CQuorMsg* msg, char const* text);

protected:
    bool m_rpcFlag1 = false;
    bool m_rpcFlag2 = false;
};
