#pragma once

#include <mqueue.h>

#include <atomic>
#include <string>

#include "platform/ChipUtilCPUComm.h"
#include "runtime/CThreadObjectWithQueue.h"
#include "runtime/RpcTransportRules.h"

// The sending end of the cross-CPU transport: a queue thread that copies each
// message's payload into shared memory (the CPU communication library) and
// sends the message image, with the block's physical address and a sequence
// number, to the destination's named queue. Messages with a signal object
// cannot travel. Traces at unit 14.
class QUOR_EXPORT CQuorRpcMsgSrcPosix : public CThreadObjectWithQueue {
public:
    CQuorRpcMsgSrcPosix();
    ~CQuorRpcMsgSrcPosix() override;

    // Opens the private input queue (maxNrOfMsgs messages) and names the
    // target: the destination's function name. The caller starts the thread.
    // 0 or the queue's error code; cpu is not used.
    int Init(char const* name, int maxNrOfMsgs, _tagCPUID cpu, std::string targetName);
    // Queues msg for the thread; -1320 (and the payload and object released)
    // for a message with a signal object.
    int SendCmd(CQuorMsg* msg) override;
    void ProcessQuorMsg(CQuorMsg* msg) override;
    // Sends one message to the target (on the thread). The payload is
    // released in every case: 0, -1 (the target cannot be opened; tried again
    // with the next message), -1322 (no shared memory) or -1421 (the send
    // failed; the shared block is released).
    int SendMsgViaRpcPosixQueue(CQuorMsg* msg);
    void IncSequenceCtr();

    std::string const& GetTargetQueueName() const { return m_targetQueueName; }
    unsigned GetNrOfRpcCalls() const { return m_callCtr.load(std::memory_order_relaxed); }
    static unsigned GetTotalNrOfRpcCalls() {
        return totalNrOfRpcCalls.load(std::memory_order_relaxed);
    }

private:
    bool OpenTarget();

    std::string m_targetName;
    unsigned char m_sequenceCtr = rpcFirstSequenceNr;
    mqd_t m_targetHandle = 0;
    bool m_targetOpen = false;
    std::string m_targetQueueName;
    // Written by the thread only; atomic for readers elsewhere.
    std::atomic<unsigned> m_callCtr{0};

    static std::atomic<unsigned> totalNrOfRpcCalls;
};
