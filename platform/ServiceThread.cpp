#include "platform/ServiceThread.h"

ServiceThread::ServiceThread(std::function<void()> tick, std::chrono::milliseconds tickInterval)
    : m_tick(std::move(tick)), m_tickInterval(tickInterval), m_thread([this] { Run(); }) {}

ServiceThread::~ServiceThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void ServiceThread::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_all();
}

void ServiceThread::WaitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_stop || (m_tasks.empty() && !m_running); });
}

void ServiceThread::SetTicking(bool on) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ticking = on && m_tick;
    }
    m_wake.notify_all();
}

void ServiceThread::Run() {
    auto nextTick = std::chrono::steady_clock::now() + m_tickInterval;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (!m_tasks.empty()) {
            std::function<void()> task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_running = true;
            lock.unlock();
            task();
            task = nullptr; // release captures outside the lock too
            lock.lock();
            m_running = false;
            if (m_tasks.empty()) {
                m_idle.notify_all();
            }
            continue;
        }
        if (!m_ticking) {
            m_wake.wait(lock);
            nextTick = std::chrono::steady_clock::now() + m_tickInterval;
            continue;
        }
        if (m_wake.wait_until(lock, nextTick) == std::cv_status::timeout) {
            nextTick += m_tickInterval;
            lock.unlock();
            m_tick();
            lock.lock();
        }
    }
    std::deque<std::function<void()>> dropped;
    dropped.swap(m_tasks);
    m_idle.notify_all();
    lock.unlock();
}
