#pragma once

#include <string>

#include "debug/CTimeTrace.h"
#include "platform/ChipUtilCPUComm.h"
#include "runtime/CObservableCallbackAll.h"
#include "runtime/CQuorMsgQueue.h"
#include "runtime/CThreadObjectWithQueue.h"

// The receiving end of the cross-CPU transport: a queue thread reading the
// public queue "/" + function name, to which sources in any process send.
// Each record's payload is copied out of shared memory into this process's
// heap, the shared block is released, the sequence number is checked (gaps
// are reported, never repaired) and the message is published to the
// observers. Traces at unit 15.
class QUOR_EXPORT CQuorRpcMsgDestPosix : public CObservableCallbackAll,
                                         public CThreadObjectWithQueue {
public:
    CQuorRpcMsgDestPosix();
    ~CQuorRpcMsgDestPosix() override;

    // Registers queueHandle (with callbackId) for every signal, creates the
    // public queue of 50 messages (mode 0660) and starts the thread. Returns
    // the result of creating the queue. The function and the first int are
    // not used.
    int Init(char const* functionName,
             void (*function)(_tagCPUFuncCallParam*, _tagCPUFuncCallReturn*), int unused,
             int queueHandle, long callbackId);
    void ProcessQuorMsg(CQuorMsg* msg) override;
    void IncSequenceCtr();
    void Term() {}

protected:
    void ThreadWorkFunction() override;

private:
    // False when the record's payload cannot be taken over; the record is dropped.
    bool CopyPayloadOutOfSharedMemory(CQuorMsg* msg);
    void CheckSequenceNr(CQuorMsg const* msg);

    std::string m_functionName;
    // Kept for the layout that other builds of the system share; not used.
    CQuorMsgQueue m_unusedQueue;
    unsigned char m_expectedSequenceNr = 0;        // 0: nothing received yet
    [[maybe_unused]] unsigned m_unusedCounter = 0; // layout only, like the queue above
    CTimeTrace m_timeTrace{0, 20};

    static unsigned totalNrOfRpcCalls; // never changed
};
