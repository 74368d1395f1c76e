#include "runtime/CObservableCallbackAll.h"

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"

int CObservableCallbackAll::NotifyObserversAll(CQuorMsg* msg) {
    TraceFormattedString(TRACE_OBSERVER, TRACELEVEL_DEBUG,
                         "CObservableCallbackAll::NotifyObserversAll() called.\n");
    if (msg == nullptr) {
        return 0;
    }
    bool const withCallbacks = CountObserversWithCallbackFunction(msg->m_signalName) > 0;
    if (withCallbacks && msg->m_signalPtr != nullptr && msg->m_signalSize == 0) {
        TraceFormattedString(TRACE_OBSERVER, TRACELEVEL_FATAL,
                             "==== FATAL ERROR ==== CObservableCallbackAll::Signal size is not set "
                             "- required to support callback all feature\n");
        msg->FreeSignal();
        return -1500;
    }
    if (withCallbacks) {
        // The callbacks own what this copy holds; msg stays for the queues.
        CQuorMsg copy(*msg);
        NotifyObserversWithCallbackFunction(&copy);
    }
    return NotifyObserversWithCallbackQueue(msg);
}

int CObservableCallbackAll::CountObserversAll(unsigned long signalName) {
    return CountObserversWithCallbackFunction(signalName) +
           CountObserversWithCallbackQueue(signalName);
}
