#include "debug/CTraceProcessPrefix.h"

CTraceProcessPrefix::CTraceProcessPrefix() : m_current(" ") {}

void CTraceProcessPrefix::AddProcessName(char const* processName) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_initial += processName != nullptr ? processName : "";
    m_initial += ' ';
    m_current.store(Publish(m_initial), std::memory_order_release);
}

void CTraceProcessPrefix::Clear() {
    m_current.store("", std::memory_order_release);
}

void CTraceProcessPrefix::RestoreInitial() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_current.store(Publish(m_initial), std::memory_order_release);
}

std::string CTraceProcessPrefix::GetInitial() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_initial;
}

char const* CTraceProcessPrefix::Publish(std::string const& text) {
    std::string const bounded = text.substr(0, maxLength);
    // The few distinct texts of a process are kept once each, so switching
    // modes back and forth does not grow memory.
    for (std::string const& published : m_published) {
        if (published == bounded) {
            return published.c_str();
        }
    }
    m_published.push_front(bounded);
    return m_published.front().c_str();
}
