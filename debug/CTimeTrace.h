#pragma once

#include <ctime>
#include <memory>

#include "util/QuorExport.h"

// One probe of a measurement. The text is not copied: it must outlive the
// measurement.
struct T_TimeTraceEntry {
    int id;
    char const* text;
    timespec time;
};

// Records monotonic time stamps at numbered probe points of a code path and
// reports the time between them through the trace facility (at the object's
// unit and level) or into a file. Not locked: one thread at a time.
class QUOR_EXPORT CTimeTrace {
public:
    static constexpr unsigned defaultCapacity = 1000;

    CTimeTrace(int traceUnit, int traceLevel);
    // Throws std::bad_alloc when the entries cannot be allocated.
    CTimeTrace(unsigned capacity, int traceUnit, int traceLevel);
    virtual ~CTimeTrace();

    CTimeTrace(CTimeTrace const&) = delete;
    CTimeTrace& operator=(CTimeTrace const&) = delete;

    // Every entry becomes id 0, "--- THREAD COLLISION ---", time 0.
    void InitTT();
    // Starts a measurement: entry 0 is now. Returns clock_gettime's result.
    int StartTT(char const* text);
    // Adds a probe; ignored once the entries are full.
    void TTPoint(int id, char const* text);
    // Index of the last entry written.
    int GetTTSize() const { return m_currentIndex; }

    // Lists every entry with its time since the one before.
    void TTPrint();

    // end - start.
    static timespec TTDiffTime(timespec start, timespec end);
    // From entry 0 to the last entry.
    timespec TTDiffTimeTotal();
    // From entry 0 to now.
    timespec TTDiffTimeTotalCurrent();

    // The time between two entries by index, or between the first entries
    // with the two ids. Results: 0 or a negative code (-2550 to -2555).
    int TTGetRange(timespec* out, int startIndex, int endIndex);
    int TTGetIdRange(timespec* out, int startId, int endId);

    // Trace the time between two entries by index, or by id; with a file name
    // the id range goes to the end of that file instead.
    void TTPrintRange(int startIndex, int endIndex);
    void TTPrintIdRange(int startId, int endId, char const* label, char const* fileName);

private:
    void Trace(int level, char const* format, ...) const __attribute__((format(printf, 3, 4)));
    int CheckRange(int startIndex, int& endIndex) const;
    int FindIdRange(int startId, int endId, int& startIndex, int& endIndex) const;

    std::unique_ptr<T_TimeTraceEntry[]> m_entries;
    int m_capacity;
    int m_currentIndex = 0;
    int m_traceUnit;
    int m_traceLevel;
};

// The process's recorder: unit 0, level 20.
QUOR_EXPORT extern CTimeTrace timeTrace;

// Self-test: one probe a second for the given number of loops, then the
// listing and the total range.
QUOR_EXPORT void TimeTraceTest1(int loops);
