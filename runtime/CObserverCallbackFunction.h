#pragma once

#include "util/QuorExport.h"

class CQuorMsg;

// The observer's side of a callback registration (CObservableCallbackFunction).
// Callback runs on the notifying thread with the registry's mutex held; it
// owns the payload and signal object of the message it is given and releases
// them (FreeSignal) or passes them on, while the message object itself stays
// the notifier's. A registry keeps only the address: unregister before the
// observer is destroyed.
class QUOR_EXPORT CObserverCallbackFunction {
public:
    virtual void Callback(CQuorMsg* msg) = 0;
    virtual ~CObserverCallbackFunction() = default;
};
