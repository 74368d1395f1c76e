#include "debug/QuorTrace.h"

#include <pthread.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "debug/CQuorTrace.h"

CQuorTrace quorTrace;

namespace {

constexpr std::size_t traceLineSize = 2000;
std::atomic<unsigned short> quorTraceCtr{0};
char const quorTraceProcessPrefix[] = " ";

void PrintLine(char const* line) {
    if (quorTrace.IsTracingToScreen()) {
        std::printf("%s", line);
        std::fflush(stdout);
    }
}

} // namespace

CQuorTrace::CQuorTrace() {
    for (auto& level : m_activationLevel) {
        level.store(TRACELEVEL_WARNING, std::memory_order_relaxed);
    }
}

CQuorTrace::~CQuorTrace() = default;

T_TraceLevel CQuorTrace::GetTraceActivationState(unsigned unit) const {
    return unit < QUOR_TRACE_MAX_UNITS ? m_activationLevel[unit].load(std::memory_order_relaxed)
                                       : 0;
}

T_TraceLevel CQuorTrace::ConvertTraceLevel(T_TraceLevel level) {
    switch (level) {
    case TRACELEVEL_DEBUG_OLD:
    case TRACELEVEL_INFO_OLD:
        return TRACELEVEL_DEBUG;
    case TRACELEVEL_WARNING_OLD:
        return TRACELEVEL_WARNING;
    case TRACELEVEL_ERROR_OLD:
        return TRACELEVEL_ERROR;
    case TRACELEVEL_FATAL_OLD:
        return TRACELEVEL_FATAL;
    case TRACELEVEL_SYSINFO_OLD:
        return TRACELEVEL_SYSINFO;
    default:
        return level;
    }
}

int CQuorTrace::SetTraceOn(unsigned unit, T_TraceLevel level) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        return -1600;
    }
    m_activationLevel[unit].store(ConvertTraceLevel(level), std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::SetTraceOff(unsigned unit) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        return -1600;
    }
    m_activationLevel[unit].store(TRACELEVEL_NO_TRACE, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::SetTraceOnAll(T_TraceLevel level) {
    for (auto& entry : m_activationLevel) {
        entry.store(ConvertTraceLevel(level), std::memory_order_relaxed);
    }
    return 0;
}

int CQuorTrace::SetTraceOffAll() {
    for (auto& entry : m_activationLevel) {
        entry.store(TRACELEVEL_NO_TRACE, std::memory_order_relaxed);
    }
    return 0;
}

int CQuorTrace::StartTracingToScreen() {
    m_tracingToScreen.store(true, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::StopTracingToScreen() {
    m_tracingToScreen.store(false, std::memory_order_relaxed);
    std::puts("\nCQuorTrace::StopTracingToScreen called ==!!!==");
    return 0;
}

void TraceFormattedString(unsigned unit, int level, char const* format, ...) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        std::ostringstream text;
        text << "Traceunit out of range: " << unit
             << " (max. allowed value = " << QUOR_TRACE_MAX_UNITS << ") see file: " << __FILE__
             << "\n";
        StreamToStdout(text);
        return;
    }
    if (level < quorTrace.GetTraceActivationState(unit)) {
        return;
    }
    unsigned short const sequenceNumber =
        static_cast<unsigned short>(quorTraceCtr.fetch_add(1, std::memory_order_relaxed) + 1);

    char line[traceLineSize];
    int const header = std::snprintf(line, sizeof line, "[%05u] %08x %s", sequenceNumber,
                                     static_cast<unsigned>(pthread_self()), quorTraceProcessPrefix);
    std::size_t const used = header > 0 ? static_cast<std::size_t>(header) : 0;
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + used, sizeof line - 1 - used, format, args);
    va_end(args);
    line[traceLineSize - 1] = '\0';
    PrintLine(line);
}

void TraceStream(unsigned unit, int level, std::ostringstream const& text) {
    if (unit < QUOR_TRACE_MAX_UNITS && quorTrace.GetTraceActivationState(unit) > level) {
        return;
    }
    std::string const copy = text.str();
    TraceFormattedString(unit, level, "%s", copy.c_str());
}

void FormattedStringToStdout(char const* format, ...) {
    char line[traceLineSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, traceLineSize - 1, format, args);
    va_end(args);
    line[traceLineSize - 1] = '\0';
    PrintLine(line);
}

void StreamToStdout(std::ostringstream const& text) {
    PrintLine(text.str().c_str());
}

T_TraceLevel GetTraceActivationState(unsigned unit) {
    return quorTrace.GetTraceActivationState(unit);
}

int SetTraceOn(unsigned unit, T_TraceLevel level) {
    return quorTrace.SetTraceOn(unit, level);
}

int SetTraceOff(unsigned unit) {
    return quorTrace.SetTraceOff(unit);
}
