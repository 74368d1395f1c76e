#include "FakeClock.h"

#include <cerrno>
#include <cmath>

#include "plugin/PluginClock.h"

namespace {
// Nanoseconds since the epoch; tests and the plugin use it on the main thread.
long long fakeNow = 0;
bool failing = false;

int FakeSource(clockid_t, timespec* now) {
    if (failing) {
        errno = EINVAL;
        return -1;
    }
    now->tv_sec = static_cast<time_t>(fakeNow / 1000000000LL);
    now->tv_nsec = static_cast<long>(fakeNow % 1000000000LL);
    return 0;
}
} // namespace

namespace FakeClock {
void Install(double seconds) {
    Set(seconds);
    failing = false;
    SetPluginClockSource(&FakeSource);
}
void Uninstall() {
    SetPluginClockSource(nullptr);
}
void Set(double seconds) {
    fakeNow = std::llround(seconds * 1e9);
}
void Advance(double seconds) {
    fakeNow += std::llround(seconds * 1e9);
}
void FailReads() {
    failing = true;
}
} // namespace FakeClock
