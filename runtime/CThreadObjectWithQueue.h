#pragma once

#include <atomic>
#include <string>

#include "runtime/CQuorMsgQueue.h"
#include "runtime/CThreadObject.h"
#include "runtime/TimeOutTimer.h"

class CQuorMsg;

// A thread with a message loop: it owns a non-blocking input queue and hands
// every message that arrives to ProcessQuorMsg, one at a time, holding
// m_mutex from before each wait until the message is processed. The message
// SIG_ID_STOP_THREAD ends the loop; what is still queued then is released.
class QUOR_EXPORT CThreadObjectWithQueue : public CThreadObject {
public:
    CThreadObjectWithQueue() : CThreadObjectWithQueue(0) {}
    explicit CThreadObjectWithQueue(int dbgId);
    ~CThreadObjectWithQueue() override;

    // Opens the input queue (always O_NONBLOCK). Unless nameIsComplete, the
    // object's address is appended to the name, so that every object of a
    // class has its own queue. 0 or the code of CQuorMsgQueue::Open.
    int Init(char const* name, int maxNrOfMsgs, int mode, bool nameIsComplete, bool unlinkQueue);

    // -1111 without Init; otherwise 0.
    int StartThread(char const* name, int stackSize, int priority) override;
    // Both send SIG_ID_STOP_THREAD to wake a waiting thread, then stop as the base does.
    void StopThread() override;
    void StopThreadAndWait() override;
    int GetThreadType() override;
    unsigned GetNrOfProcessedMsgs() const override;

    // Hands a message to this thread (from any thread); the payload moves
    // with it, or is released on failure (-1110 without Init).
    virtual int SendCmd(CQuorMsg* msg);
    // Called on the thread for every message but the stop message. The
    // message object is reused; its payload and signal object belong to the
    // callee, which releases them (FreeSignal) or passes them on.
    virtual void ProcessQuorMsg(CQuorMsg* msg) = 0;
    // Runs once on the new thread before the first message.
    virtual void BeforeProcessingMsgs();
    // Message loop with plain receives (for queues opened in blocking mode).
    virtual void ReadMsgsFromBlockingQueue();
    // Message loop that waits for each message; the one the thread runs.
    virtual void ReadMsgsFromNonBlockingQueue();

    bool IsInitialized() const { return m_initialized.load(std::memory_order_acquire); }
    std::string const& GetQueueName() const { return m_queueName; }
    int GetQueueHandle() const { return m_msgQueue.GetHandle(); }

protected:
    void ThreadWorkFunction() override;

    CQuorMsgQueue m_msgQueue;
    std::string m_queueName;
    int m_maxNrOfMsgs = 0;
    // A timer for the use of derived classes.
    TimeOutTimer m_msgTimer{0, 0, 0, 0};

private:
    void SendStopMessage();
    void CountProcessed();

    std::atomic<bool> m_initialized{false};
    std::atomic<unsigned> m_nrOfProcessedMsgs{0};
};
