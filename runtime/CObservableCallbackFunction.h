#pragma once

#include <pthread.h>

#include <atomic>
#include <vector>

#include "util/QuorExport.h"

class CObserverCallbackFunction;
class CQuorMsg;

// Registration of a callback observer.
struct T_FunctionObserverInfo {
    CObserverCallbackFunction* observer;
    long callbackId;
    long callbackId2;
    unsigned long signalName; // 0: every signal
};

// Registry of callback observers: a notification calls every observer
// registered for the message's signal (or for every signal, 0) on the
// notifying thread, in order of registration, with the mutex held: a callback
// must not register or unregister with the same registry. Traces at unit 17.
class QUOR_EXPORT CObservableCallbackFunction {
public:
    CObservableCallbackFunction();
    CObservableCallbackFunction(CObservableCallbackFunction const&) = delete;
    CObservableCallbackFunction& operator=(CObservableCallbackFunction const&) = delete;
    virtual ~CObservableCallbackFunction();

    // A duplicate is refused with a trace.
    virtual void RegisterCallbackFunction(CObserverCallbackFunction& observer, long callbackId,
                                          long callbackId2, unsigned long signalName);
    virtual void RegisterCallbackFunction(CObserverCallbackFunction* observer, long callbackId,
                                          long callbackId2, unsigned long signalName);
    // Removes the first record with exactly this observer and signal.
    virtual void UnregisterCallbackFunction(CObserverCallbackFunction& observer,
                                            unsigned long signalName);
    virtual void DeleteObserversWithCallbackFunction();
    virtual int CountObserversWithCallbackFunction(unsigned long signalName);
    virtual bool AlreadyRegisteredWithCallbackFunction(CObserverCallbackFunction& observer,
                                                       unsigned long signalName);
    // Calls every matching observer: a deep copy for all but the last, which
    // gets msg itself. With no observer the payload is released. 0, or -1510
    // for a payload without size and several observers.
    virtual int NotifyObserversWithCallbackFunction(CQuorMsg* msg);

    static unsigned GetTotalNrOfFunctionCallbacks() {
        return totalNrOfFunctionCallbacks.load(std::memory_order_relaxed);
    }
    static void ClearTotalNrOfFunctionCallbacks() {
        totalNrOfFunctionCallbacks.store(0, std::memory_order_relaxed);
    }

private:
    bool AlreadyRegisteredWithCallbackFunctionNoMutex(CObserverCallbackFunction* observer,
                                                      unsigned long signalName);
    int CountObserversForThisMsg(unsigned long signalName);

    std::vector<T_FunctionObserverInfo> m_observers;
    pthread_mutex_t m_mutex;

    // Callback deliveries of the process.
    static std::atomic<unsigned> totalNrOfFunctionCallbacks;
};
