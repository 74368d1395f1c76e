#pragma once

#include <vector>

#include "runtime/CQuorMsg.h"

// Whether a record registered for recordSignal (0: every signal) observes signal.
inline bool ObservesSignal(unsigned long recordSignal, unsigned long signal) {
    return recordSignal == 0 || recordSignal == signal;
}

// Hands msg to deliver(record, message) for each of the count records that
// observe its signal, in list order, with the record's callback ids written
// into the message. All but the last get a deep copy; the last gets msg
// itself, so its payload block reaches an observer without a copy.
template <typename Record, typename Deliver>
void FanOutToObservers(std::vector<Record> const& records, int count, CQuorMsg* msg,
                       Deliver deliver) {
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
}
