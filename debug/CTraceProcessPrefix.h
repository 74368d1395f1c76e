#pragma once

#include <atomic>
#include <forward_list>
#include <mutex>
#include <string>

#include "util/QuorExport.h"

// The process prefix written into every trace line, and the initial prefix
// (process name and a blank) that it returns to when syslog is switched off.
//
// Tracing threads read the prefix without a lock while the host or a shell
// command may change it. A published text is therefore never changed or freed
// while the process runs: a change publishes another text by pointer.
class QUOR_EXPORT CTraceProcessPrefix {
public:
    // Longest prefix in a line, without the terminating NUL.
    static constexpr std::size_t maxLength = 19;

    CTraceProcessPrefix();

    char const* Get() const { return m_current.load(std::memory_order_acquire); }

    // Appends the process name and one blank to the initial prefix and makes
    // (the start of) it the current prefix.
    void AddProcessName(char const* processName);
    // Lines without prefix (syslog adds its own).
    void Clear();
    // Back to the initial prefix.
    void RestoreInitial();
    std::string GetInitial() const;

private:
    char const* Publish(std::string const& text);

    mutable std::mutex m_mutex;
    std::string m_initial;
    std::forward_list<std::string> m_published;
    std::atomic<char const*> m_current;
};
