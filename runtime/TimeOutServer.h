#pragma once

#include <pthread.h>

#include <list>

#include "runtime/CThreadObject.h"
#include "runtime/TimeOutTimer.h"

// The process's timer thread: keeps copies of the started timers ordered by
// remaining time, largest first (the last one expires first), polls them
// every 50 ms and sends each expired timer's signal to its queue. The host
// process starts its thread (StartThread on instance()); until then timers
// are collected but never expire.
class QUOR_EXPORT TimeOutServer : public CThreadObject {
public:
    static TimeOutServer& instance();

    // Stops and joins the thread before the list goes.
    ~TimeOutServer() override;

    void AddTimer(TimeOutTimer timer);
    // These three do not lock; the thread calls them with the list mutex held.
    TimeOutTimer GetEarliestTimer();
    void PopTimer();
    bool IsEmpty();
    // Orders the list smallest remaining time first, under the list mutex.
    // This is the reverse of the order the server keeps: for inspection
    // only, never while the server thread runs.
    void SortTimer();
    // Prints the pending timers, first to last.
    void DumpList();
    std::size_t GetNrOfTimers();

protected:
    void ThreadWorkFunction() override;

private:
    TimeOutServer();
    void SendExpiredTimers();

    pthread_mutex_t m_listMutex = PTHREAD_MUTEX_INITIALIZER;
    std::list<TimeOutTimer> m_timerList;
};
