#pragma once

#include <time.h>

#include "util/QuorExport.h"

// The plugin's clock: CLOCK_REALTIME, read through a replaceable source so
// that a host (a test, a simulator) can run the plugin on a time of its own.
using PluginClockSource = int (*)(clockid_t clock, timespec* now);

// Installs source; nullptr restores clock_gettime. Set it while no plugin
// object is in use.
QUOR_EXPORT void SetPluginClockSource(PluginClockSource source);

// Now on CLOCK_REALTIME. A failing clock ends the process
// (perror("clock_gettime failed"), exit(-1)).
timespec PluginClockNow();

// a - b in seconds, borrowing a second when the nanoseconds underflow.
double PluginClockSeconds(timespec const& a, timespec const& b);

// Whether a stamp is out of date: now is strictly later than stamp +
// seconds, or before the stamp (the wall clock was set back, as a television
// does when it takes its time from the broadcast).
bool PluginClockStale(timespec const& now, timespec const& stamp, time_t seconds);
