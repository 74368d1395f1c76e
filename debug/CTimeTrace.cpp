#include "debug/CTimeTrace.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <new>

#include "debug/QuorTrace.h"
#include "debug/TraceLineFormat.h"

namespace {

constexpr int rangeStartBeyondLast = -2550;
constexpr int rangeEndBeyondLast = -2551;
constexpr int rangeIllegal = -2552;
constexpr int noOutput = -2553;
constexpr int startIdNotFound = -2554;
constexpr int endIdNotFound = -2555;

constexpr long nsecPerSec = 1000000000;

long Microseconds(timespec const& time) {
    return time.tv_nsec / 1000;
}

} // namespace

CTimeTrace timeTrace(0, TRACELEVEL_INFO);

CTimeTrace::CTimeTrace(int traceUnit, int traceLevel)
    : CTimeTrace(defaultCapacity, traceUnit, traceLevel) {}

CTimeTrace::CTimeTrace(unsigned capacity, int traceUnit, int traceLevel)
    : m_traceUnit(traceUnit), m_traceLevel(traceLevel) {
    if (capacity > static_cast<unsigned>(INT_MAX)) {
        throw std::bad_alloc();
    }
    // A measurement always has its start entry.
    m_capacity = capacity > 0 ? static_cast<int>(capacity) : 1;
    m_entries.reset(new T_TimeTraceEntry[static_cast<unsigned>(m_capacity)]);
    InitTT();
}

CTimeTrace::~CTimeTrace() = default;

void CTimeTrace::InitTT() {
    m_currentIndex = 0;
    for (int i = 0; i < m_capacity; ++i) {
        m_entries[i] = T_TimeTraceEntry{0, "--- THREAD COLLISION ---", timespec{0, 0}};
    }
}

int CTimeTrace::StartTT(char const* text) {
    InitTT();
    m_entries[0].id = 0;
    m_entries[0].text = text;
    return clock_gettime(CLOCK_MONOTONIC, &m_entries[0].time);
}

void CTimeTrace::TTPoint(int id, char const* text) {
    if (m_currentIndex + 1 >= m_capacity) {
        return;
    }
    T_TimeTraceEntry& entry = m_entries[++m_currentIndex];
    entry.id = id;
    entry.text = text;
    clock_gettime(CLOCK_MONOTONIC, &entry.time);
}

void CTimeTrace::TTPrint() {
    int const last = m_currentIndex < m_capacity - 1 ? m_currentIndex : m_capacity - 1;
    for (int i = 0; i <= last; ++i) {
        T_TimeTraceEntry const& entry = m_entries[i];
        timespec const diff =
            i > 0 ? TTDiffTime(m_entries[i - 1].time, entry.time) : timespec{0, 0};
        FormattedStringToStdout("%04d Id = %04d usec = %06ld Diff (sec.usec) = %03ld.%06ld %s\n", i,
                                entry.id, Microseconds(entry.time), static_cast<long>(diff.tv_sec),
                                Microseconds(diff), entry.text);
    }
}

timespec CTimeTrace::TTDiffTime(timespec start, timespec end) {
    timespec diff{};
    if (end.tv_nsec < start.tv_nsec) {
        diff.tv_sec = end.tv_sec - start.tv_sec - 1;
        diff.tv_nsec = end.tv_nsec + nsecPerSec - start.tv_nsec;
    } else {
        diff.tv_sec = end.tv_sec - start.tv_sec;
        diff.tv_nsec = end.tv_nsec - start.tv_nsec;
    }
    return diff;
}

timespec CTimeTrace::TTDiffTimeTotal() {
    return TTDiffTime(m_entries[0].time, m_entries[m_currentIndex].time);
}

timespec CTimeTrace::TTDiffTimeTotalCurrent() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return TTDiffTime(m_entries[0].time, now);
}

void CTimeTrace::Trace(int level, char const* format, ...) const {
    // An object with a unit that does not exist reports nothing.
    if (m_traceUnit < 0 || static_cast<unsigned>(m_traceUnit) >= QUOR_TRACE_MAX_UNITS ||
        level < GetTraceActivationState(static_cast<unsigned>(m_traceUnit))) {
        return;
    }
    // A report is one trace line: as long as the system's lines are.
    char text[traceLineSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    TraceFormattedString(static_cast<unsigned>(m_traceUnit), level, "%s", text);
}

int CTimeTrace::CheckRange(int startIndex, int& endIndex) const {
    if (startIndex > m_currentIndex) {
        Trace(TRACELEVEL_ERROR, "Range start greater than trace\n");
        return rangeStartBeyondLast;
    }
    if (endIndex > m_currentIndex) {
        Trace(TRACELEVEL_ERROR, "Range end greater than trace\n");
        return rangeEndBeyondLast;
    }
    if (startIndex < 0 || startIndex >= endIndex) {
        Trace(TRACELEVEL_ERROR, "Illegal range : %d:%d(length=%d)\n", startIndex, endIndex,
              m_currentIndex);
        return rangeIllegal;
    }
    if (endIndex >= m_capacity) {
        endIndex = m_capacity - 1;
    }
    return 0;
}

int CTimeTrace::TTGetRange(timespec* out, int startIndex, int endIndex) {
    int const result = CheckRange(startIndex, endIndex);
    if (result != 0) {
        return result;
    }
    if (out == nullptr) {
        return noOutput;
    }
    *out = TTDiffTime(m_entries[startIndex].time, m_entries[endIndex].time);
    return 0;
}

void CTimeTrace::TTPrintRange(int startIndex, int endIndex) {
    if (CheckRange(startIndex, endIndex) != 0) {
        return;
    }
    timespec const diff = TTDiffTime(m_entries[startIndex].time, m_entries[endIndex].time);
    Trace(m_traceLevel, "Range = %03d:%03d (Id %04d:%04d) Diff: (sec.usec) %02ld.%06ld\n",
          startIndex, endIndex, m_entries[startIndex].id, m_entries[endIndex].id,
          static_cast<long>(diff.tv_sec), Microseconds(diff));
}

int CTimeTrace::FindIdRange(int startId, int endId, int& startIndex, int& endIndex) const {
    startIndex = 0;
    while (startIndex <= m_currentIndex && m_entries[startIndex].id != startId) {
        ++startIndex;
    }
    if (startIndex > m_currentIndex) {
        Trace(m_traceLevel, "TTPrintIdRange: StartId %d not found\n", startId);
        return startIdNotFound;
    }
    endIndex = startIndex;
    while (endIndex <= m_currentIndex && m_entries[endIndex].id != endId) {
        ++endIndex;
    }
    if (endIndex > m_currentIndex) {
        Trace(TRACELEVEL_WARNING, "TTPrintIdRange: EndId %d not found\n", endId);
        return endIdNotFound;
    }
    return 0;
}

int CTimeTrace::TTGetIdRange(timespec* out, int startId, int endId) {
    int startIndex = 0;
    int endIndex = 0;
    int const result = FindIdRange(startId, endId, startIndex, endIndex);
    if (result != 0) {
        return result;
    }
    if (out == nullptr) {
        return noOutput;
    }
    *out = TTDiffTime(m_entries[startIndex].time, m_entries[endIndex].time);
    return 0;
}

void CTimeTrace::TTPrintIdRange(int startId, int endId, char const* label, char const* fileName) {
    int startIndex = 0;
    int endIndex = 0;
    if (FindIdRange(startId, endId, startIndex, endIndex) != 0) {
        return;
    }
    timespec const diff = TTDiffTime(m_entries[startIndex].time, m_entries[endIndex].time);
    char line[traceLineSize];
    std::snprintf(line, sizeof line,
                  "IdRange = %03d:%03d (Id %04d:%04d) Diff: (sec.usec) %02ld.%06ld %s", startIndex,
                  endIndex, startId, endId, static_cast<long>(diff.tv_sec), Microseconds(diff),
                  label != nullptr ? label : "");
    if (fileName == nullptr) {
        Trace(m_traceLevel, "%s\n", line);
        return;
    }
    FILE* const file = std::fopen(fileName, "a");
    if (file == nullptr) {
        Trace(TRACELEVEL_ERROR, "TTPrintIdRange: cannot open %s\n", fileName);
        return;
    }
    std::fprintf(file, "%s\n", line);
    std::fclose(file);
}
