#include "plugin/PluginClock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<PluginClockSource> clockSource{nullptr};
}

void SetPluginClockSource(PluginClockSource source) {
    clockSource.store(source, std::memory_order_relaxed);
}

timespec PluginClockNow() {
    PluginClockSource source = clockSource.load(std::memory_order_relaxed);
    timespec now = {0, 0};
    int result =
        source != nullptr ? source(CLOCK_REALTIME, &now) : clock_gettime(CLOCK_REALTIME, &now);
    if (result != 0) {
        perror("clock_gettime failed");
        exit(-1);
    }
    return now;
}

double PluginClockSeconds(timespec const& a, timespec const& b) {
    time_t seconds = a.tv_sec - b.tv_sec;
    long nanoseconds = a.tv_nsec - b.tv_nsec;
    if (nanoseconds < 0) {
        seconds -= 1;
        nanoseconds += 1000000000L;
    }
    return static_cast<double>(seconds) + static_cast<double>(nanoseconds) / 1000000000.0;
}

bool PluginClockStale(timespec const& now, timespec const& stamp, time_t seconds) {
    time_t limit = stamp.tv_sec + seconds;
    bool const later = now.tv_sec > limit || (now.tv_sec == limit && now.tv_nsec > stamp.tv_nsec);
    bool const before =
        now.tv_sec < stamp.tv_sec || (now.tv_sec == stamp.tv_sec && now.tv_nsec < stamp.tv_nsec);
    return later || before;
}
