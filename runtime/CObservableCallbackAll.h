#pragma once

#include "runtime/CObservableCallbackFunction.h"
#include "runtime/CObservableCallbackQueue.h"

// Both registries at once: a notification reaches the callback observers
// (with a copy of the message) and then the queue observers (with the
// message itself).
class QUOR_EXPORT CObservableCallbackAll : public CObservableCallbackQueue,
                                           public CObservableCallbackFunction {
public:
    CObservableCallbackAll() = default;
    ~CObservableCallbackAll() override = default;

    // 0, -1500 for a payload without size while callback observers exist (the
    // payload is released), or the result of the queue notification.
    virtual int NotifyObserversAll(CQuorMsg* msg);
    virtual int CountObserversAll(unsigned long signalName);
};
