#pragma once

#include <ctime>

#include "util/QuorExport.h"

// Stopwatch on the monotonic clock. While it runs, every elapsed-time call
// reads the clock; once stopped, it measures up to stop().
class QUOR_EXPORT Timer {
public:
    Timer() = default;

    void start();
    void stop();

    double getElapsedTimeInMicroSec();
    // Whole milliseconds of each time stamp, subtracted.
    double getElapsedTimeInMilliSec();
    double getElapsedTimeInSec();
    double getElapsedTime();

private:
    void UpdateEndTime();

    int m_stopped = 0;
    timespec m_startTime{};
    timespec m_endTime{};
};
