#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "util/QuorExport.h"

// The thread of a simulated service: runs posted tasks one after the other,
// in order, and, while ticking is on, calls the tick function at a steady
// interval between tasks.
class QUOR_EXPORT ServiceThread {
public:
    explicit ServiceThread(std::function<void()> tick = {},
                           std::chrono::milliseconds tickInterval = std::chrono::milliseconds(20));
    ~ServiceThread(); // stops; tasks not yet run are dropped
    ServiceThread(ServiceThread const&) = delete;
    ServiceThread& operator=(ServiceThread const&) = delete;

    void Post(std::function<void()> task);
    // Returns when every task posted before the call has run.
    void WaitIdle();
    // Switches the tick on or off; any thread.
    void SetTicking(bool on);

private:
    void Run();

    std::function<void()> m_tick;
    std::chrono::milliseconds m_tickInterval;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false; // a task is being run
    bool m_ticking = false;
    bool m_stop = false;
    std::thread m_thread;
};
