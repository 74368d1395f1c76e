#pragma once

#include <pthread.h>

#include <atomic>
#include <vector>

#include "util/QuorExport.h"

class CQuorMsg;

// Registration of a queue observer.
struct T_QueueObserverInfo {
    int queueHandle;
    long callbackId;
    long callbackId2;
    unsigned long signalName; // 0: every signal
};

// Registry of queue observers: a notification sends the message to every
// queue registered for its signal (or for every signal, 0), in order of
// registration. Only non-blocking queues are accepted, since a full blocking
// queue would stall the publisher inside the registry's mutex. Traces at unit 17.
class QUOR_EXPORT CObservableCallbackQueue {
public:
    CObservableCallbackQueue();
    CObservableCallbackQueue(CObservableCallbackQueue const&) = delete;
    CObservableCallbackQueue& operator=(CObservableCallbackQueue const&) = delete;
    virtual ~CObservableCallbackQueue();

    // Refusals (blocking queue, handle 0, already registered) are traced only.
    virtual void RegisterCallbackQueue(int queueHandle, long callbackId, long callbackId2,
                                       unsigned long signalName);
    // Removes the first record with exactly this handle and signal.
    virtual void UnregisterCallbackQueue(int queueHandle, unsigned long signalName);
    virtual void DeleteObserversWithCallbackQueue();
    virtual int CountObserversWithCallbackQueue(unsigned long signalName);
    // True when the queue is registered for this signal or for every signal.
    virtual bool AlreadyRegisteredWithCallbackQueue(int queueHandle, unsigned long signalName);
    // Sends msg to every matching queue: a deep copy to all but the last,
    // which gets msg itself with its payload. With no observer the payload
    // is released. 0, -1521 (payload without size for several observers) or
    // the code of the last failed send.
    virtual int NotifyObserversWithCallbackQueue(CQuorMsg* msg);

    static unsigned GetTotalNrOfQueueCallbacks() {
        return totalNrOfQueueCallbacks.load(std::memory_order_relaxed);
    }
    static void ClearTotalNrOfQueueCallbacks() {
        totalNrOfQueueCallbacks.store(0, std::memory_order_relaxed);
    }

private:
    bool AlreadyRegisteredWithCallbackQueueNoMutex(int queueHandle, unsigned long signalName);
    int CountObserversForThisMsg(unsigned long signalName);

    std::vector<T_QueueObserverInfo> m_observers;
    pthread_mutex_t m_mutex;

    // Queue deliveries of the process.
    static std::atomic<unsigned> totalNrOfQueueCallbacks;
};
