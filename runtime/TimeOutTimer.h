#pragma once

#include "runtime/Timer.h"
#include "util/QuorExport.h"

class CQuorMsg;

// One-shot timer delivered as a message: StartTimer hands a copy to the
// process's TimeOutServer, which sends the signal to the queue once the
// timeout has passed. Timers are never withdrawn; every start and stop gives
// the timer a new id instead, the expiry message carries the id of its start
// (m_responseInfo) and the timer's address (m_timerObjPtr), and the receiver
// asks TimerIsValid whether the message is still current. The timer must
// outlive its last expiry message.
class QUOR_EXPORT TimeOutTimer {
public:
    // Timeout in milliseconds; the add-expiry info comes back in m_callbackId.
    TimeOutTimer(double timeout, unsigned long signalName, int queueId, long addExpiryInfo);
    virtual ~TimeOutTimer() = default;

    void SetTimer(double timeout, unsigned long signalName, int queueId, long addExpiryInfo);
    // Not started (only traced) without a queue (queue id <= 0).
    void StartTimer();
    void StartTimer(double timeout, unsigned long signalName, int queueId, long addExpiryInfo);
    // The pending expiry message becomes stale.
    void StopTimer();
    // Starts the stopwatch only; nothing is sent.
    void StartMeasurement();

    // Whether msg is the expiry of the timer's current start; if so the
    // timer is no longer running.
    bool TimerIsValid(CQuorMsg* msg);
    bool TimerIsRunning() const { return m_state == stateRunning; }

    // Timeout minus elapsed milliseconds; negative once expired.
    double GetRemainingTime();
    double GetElapsedTime();
    double GetElapsedTimeInMicroSec();
    double GetExpiryTime() const { return m_timeout; }
    int GetQueueId() const { return m_queueId; }
    unsigned long GetSignalName() const { return m_signalName; }
    unsigned long GetTimerId() const { return m_timerId; }
    TimeOutTimer* GetTimerObjPtr() const { return m_timerObjPtr; }
    long GetAddExpiryInfo() const { return m_addExpiryInfo; }

    static bool TimeOutTimerSortPredicate(TimeOutTimer& a, TimeOutTimer& b);

private:
    static constexpr int stateStopped = 1;
    static constexpr int stateRunning = 2;

    // Traces prefix, the object, the id, the old id of msg (when given) and,
    // unless idOnly, the queue and the signal.
    void TraceTimer(int level, char const* prefix, CQuorMsg const* msg, bool idOnly);

    int m_queueId = 0;
    double m_timeout = 0;
    int m_state = stateStopped;
    unsigned long m_signalName = 0;
    unsigned long m_timerId = 0;
    // The object that was started; copies (such as the server's) keep it.
    TimeOutTimer* m_timerObjPtr = nullptr;
    Timer m_stopwatch;
    long m_addExpiryInfo = 0;
};

// false for a message without timer, otherwise the timer's answer.
QUOR_EXPORT bool TimerIsValid(CQuorMsg* msg);
