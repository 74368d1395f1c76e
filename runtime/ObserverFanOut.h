#pragma once

#include <vector>

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"

// Whether a record registered for recordSignal (0: every signal) observes signal.
inline bool ObservesSignal(unsigned long recordSignal, unsigned long signal) {
    return recordSignal == 0 || recordSignal == signal;
}

// Hands msg to deliver(record, message) for each of the count records that
// observe its signal, in list order, with the record's callback ids written
// into the message. All but the last get a deep copy; the last gets msg
// itself, so its payload block reaches an observer without a copy.
// Without observers, or with a payload that has no size and so cannot be
// copied for several (traced with sizeNotSetText), nothing is delivered, the
// payload is released and the result is false.
template <typename Record, typename Deliver>
bool FanOutToObservers(std::vector<Record> const& records, int count, CQuorMsg* msg,
                       char const* sizeNotSetText, Deliver deliver) {
    bool const copiesImpossible =
        count > 1 && msg->m_signalPtr != nullptr && msg->m_signalSize == 0;
    if (copiesImpossible) {
        TraceFormattedString(TRACE_OBSERVER, TRACELEVEL_FATAL, "%s", sizeNotSetText);
    }
    if (count == 0 || copiesImpossible) {
        msg->FreeSignal();
        return false;
    }
    for (auto const& record : records) {
        if (!ObservesSignal(record.signalName, msg->m_signalName)) {
            continue;
        }
        msg->m_callbackId = record.callbackId;
        msg->m_callbackId2 = record.callbackId2;
        CQuorMsg copy;
        deliver(record, count > 1 ? &(copy = *msg) : msg);
        --count;
    }
    return true;
}
