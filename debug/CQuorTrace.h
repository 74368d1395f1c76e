#pragma once

#include <atomic>

#include "debug/QuorTrace.h"
#include "debug/QuorTraceUnits.h"
#include "debug/TraceLevels.h"
#include "util/QuorExport.h"

// The process-wide trace facility: per-unit activation levels and the
// outputs a produced line goes to.
class QUOR_EXPORT CQuorTrace {
public:
    CQuorTrace();
    virtual ~CQuorTrace();

    T_TraceLevel GetTraceActivationState(unsigned unit) const;
    static T_TraceLevel ConvertTraceLevel(T_TraceLevel level);
    int SetTraceOn(unsigned unit, T_TraceLevel level);
    int SetTraceOff(unsigned unit);
    int SetTraceOnAll(T_TraceLevel level);
    int SetTraceOffAll();

    int StartTracingToScreen();
    int StopTracingToScreen();
    bool IsTracingToScreen() const { return m_tracingToScreen.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_tracingToScreen{false};
    std::atomic<T_TraceLevel> m_activationLevel[QUOR_TRACE_MAX_UNITS];
};

QUOR_EXPORT extern CQuorTrace quorTrace;
