#pragma once

#include <time.h>

// A CLOCK_REALTIME for the plugin that moves only when a test moves it.
namespace FakeClock {
// Installs the fake clock at t seconds (and uninstalls with Uninstall).
void Install(double seconds = 1000.0);
void Uninstall();
void Set(double seconds);
void Advance(double seconds);
// Makes the next reads fail as clock_gettime fails.
void FailReads();
} // namespace FakeClock
