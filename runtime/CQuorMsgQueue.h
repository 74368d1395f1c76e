#pragma once

#include <mqueue.h>
#include <pthread.h>

#include <atomic>
#include <string>

#include "util/QuorExport.h"

class CQuorMsg;

// One entry of the process-wide queue registry.
struct T_GlobalMsgQueueInfo {
    class CQuorMsgQueue* queue;
    int handle;
};

// One POSIX message queue carrying CQuorMsg images (CQuorMsg::ImageSize
// bytes each). Every open queue of the process is registered, so that a
// handle can be turned back into its queue object or name and so that the
// debug shell can list the queues.
//
// Results are 0 or a negative code; failures are traced at unit 3.
class QUOR_EXPORT CQuorMsgQueue {
public:
    // Entries of the quick-access array; larger handles are only in the list.
    static constexpr int QuickAccessSize = 350;

    CQuorMsgQueue() = default;
    CQuorMsgQueue(CQuorMsgQueue const&) = delete;
    CQuorMsgQueue& operator=(CQuorMsgQueue const&) = delete;
    // Unlinks the queue when the unlink flag is set; otherwise only closes
    // this object's descriptor (the queue itself stays for other processes).
    ~CQuorMsgQueue();

    // With unlinkFlag set, a queue of that name left over from an earlier run
    // is removed first, and the destructor removes the name again.
    int Open(char const* name, int oflag, int mode, int maxMsgs, bool unlinkFlag);
    // Like Open with the caller's attributes; their message size is set to
    // the image size (the caller's structure is changed).
    int OpenWithAttrStruct(char const* name, int oflag, int mode, mq_attr* attr, bool unlinkFlag);
    // Closes the descriptor once; the object is closed (handle -1) afterwards.
    int Close();
    // Drains, closes and removes the name from the system.
    int Unlink();
    int Getattr(mq_attr* attr);

    // Sends hand the payload over: on success the message's payload fields
    // are zero (the receiver owns them), on failure they have been released.
    int Send(CQuorMsg* msg, unsigned prio);
    static int Send(int handle, CQuorMsg* msg, unsigned prio);

    // One receive; on a queue opened without O_NONBLOCK it waits.
    int Receive(CQuorMsg* msg, unsigned unused);
    // Waits until a message is there, then receives it.
    int ReceiveFromNonblockingQueue(CQuorMsg* msg, unsigned unused);
    int GetNrOfMsgsInQueue();
    // Waits up to usec for a message without receiving it: 1 when one is
    // waiting, 0 on timeout, -1 on error.
    int usleepOnQueue(unsigned long usec);
    // Receives and releases every waiting message without waiting for more.
    void ClearQueue();
    // Receives, prints and releases every waiting message of the handle.
    static void DumpQueue(int handle);

    int GetHandle() const { return m_handle; }
    std::string const& GetName() const { return m_name; }
    int GetMaxFill() const { return m_maxFill.load(std::memory_order_relaxed); }
    unsigned GetNrOfReadMsgs() const { return m_nrRead.load(std::memory_order_relaxed); }
    unsigned long GetLastMsg() const { return m_lastMsg.load(std::memory_order_relaxed); }

    // The registry. The mutex is statically initialised; GetMutex locks it.
    static void GetMutex();
    static void ReleaseMutex();
    static int AddQueueToGlobalMsgQueueList(CQuorMsgQueue* queue, int handle);
    static int RemoveQueueFromGlobalMsgQueueList(CQuorMsgQueue* queue, int handle);
    static std::string GetQueueNameByHandle(int handle);
    static CQuorMsgQueue* GetQueueObjPtrByHandle(int handle);
    // Prints the table of registered queues; 0 lists all.
    static void ListGlobalMsgQueueList(int handle);
    // Terminate: queue objects destroyed later leave the registry alone.
    static void Start();
    static void Terminate();
    static unsigned GetTotalNrOfSentMsgs();
    static void ClearTotalNrOfSentMsgs();

private:
    struct SendTexts;
    static int SendToHandle(int handle, CQuorMsg* msg, unsigned prio, SendTexts const& texts);
    int OpenQueue(char const* name, int oflag, int mode, bool unlinkFlag, char const* openingText,
                  char const* successText, char const* failedText);
    void CountReceived(CQuorMsg const& msg);
    // Erases every registry entry of queue, whatever Terminate said.
    static void ForgetQueue(CQuorMsgQueue* queue);

    int m_handle = -1;
    std::string m_name;
    std::atomic<int> m_maxFill{0};
    std::atomic<unsigned> m_nrRead{0};
    mq_attr m_attr{};
    std::atomic<unsigned long> m_lastMsg{0};
    bool m_unlinkFlag = true;

    static pthread_mutex_t m_quorMsgQueueMutex;
    static CQuorMsgQueue* m_quorMsgQueueQuickAccessArray[QuickAccessSize];
    static std::atomic<bool> m_quorMsgQueueHandlingTerminated;
    static std::atomic<unsigned> totalNrOfSentMsgs;
};
