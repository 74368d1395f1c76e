#include "runtime/TimeOutTimer.h"

#include <sys/time.h>

#include <sstream>

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"
#include "runtime/TimeOutServer.h"

TimeOutTimer::TimeOutTimer(double timeout, unsigned long signalName, int queueId,
                           long addExpiryInfo)
    : m_timerObjPtr(this) {
    timeval now{};
    gettimeofday(&now, nullptr);
    m_timerId = static_cast<unsigned long>(now.tv_usec);
    SetTimer(timeout, signalName, queueId, addExpiryInfo);
}

void TimeOutTimer::SetTimer(double timeout, unsigned long signalName, int queueId,
                            long addExpiryInfo) {
    m_timeout = timeout;
    m_signalName = signalName;
    m_queueId = queueId;
    m_addExpiryInfo = addExpiryInfo;
}

void TimeOutTimer::TraceTimer(int level, char const* prefix, CQuorMsg const* msg, bool idOnly) {
    if (GetTraceActivationState(TRACE_TIMER) > level) {
        return;
    }
    std::ostringstream text;
    text << prefix << static_cast<void const*>(this) << " Timer-Id = " << m_timerId;
    if (msg != nullptr) {
        text << " Old-Timer-Id = " << msg->m_responseInfo;
    }
    if (!idOnly) {
        text << " Queue = " << m_queueId << " Signal = " << m_signalName;
    }
    text << "\n";
    TraceStream(TRACE_TIMER, level, text);
}

void TimeOutTimer::StartTimer() {
    if (m_queueId <= 0) {
        TraceTimer(TRACELEVEL_ERROR,
                   "TimeOutTimer::StartTimer() - Timer destination queue not set - this = ",
                   nullptr, false);
        return;
    }
    m_stopwatch.start();
    m_state = stateRunning;
    ++m_timerId;
    TraceTimer(TRACELEVEL_DEBUG, "TimeOutTimer::StartTimer() - this = ", nullptr, false);
    TimeOutServer::instance().AddTimer(*this);
}

void TimeOutTimer::StartTimer(double timeout, unsigned long signalName, int queueId,
                              long addExpiryInfo) {
    SetTimer(timeout, signalName, queueId, addExpiryInfo);
    StartTimer();
}

void TimeOutTimer::StopTimer() {
    ++m_timerId;
    m_state = stateStopped;
    TraceTimer(TRACELEVEL_DEBUG, "TimeOutTimer::StopTimer()  - this = ", nullptr, false);
}

void TimeOutTimer::StartMeasurement() {
    m_stopwatch.start();
    m_state = stateRunning;
    ++m_timerId;
    TraceTimer(TRACELEVEL_DEBUG, "TimeOutTimer::StartMeasurement() - this = ", nullptr, true);
}

bool TimeOutTimer::TimerIsValid(CQuorMsg* msg) {
    if (msg == nullptr) {
        return false;
    }
    TraceTimer(TRACELEVEL_DEBUG, "TimeOutTimer::TimerIsValid()  - this = ", msg, false);
    // The message carries the id as an int; compare in that width.
    if (static_cast<int>(m_timerId) != msg->m_responseInfo) {
        return false;
    }
    m_state = stateStopped;
    return true;
}

double TimeOutTimer::GetRemainingTime() {
    return m_timeout - m_stopwatch.getElapsedTimeInMilliSec();
}

double TimeOutTimer::GetElapsedTime() {
    return m_stopwatch.getElapsedTimeInMilliSec();
}

double TimeOutTimer::GetElapsedTimeInMicroSec() {
    return m_stopwatch.getElapsedTimeInMicroSec();
}

bool TimeOutTimer::TimeOutTimerSortPredicate(TimeOutTimer& a, TimeOutTimer& b) {
    return a.GetRemainingTime() < b.GetRemainingTime();
}

bool TimerIsValid(CQuorMsg* msg) {
    if (msg == nullptr || msg->m_timerObjPtr == nullptr) {
        return false;
    }
    return msg->m_timerObjPtr->TimerIsValid(msg);
}
