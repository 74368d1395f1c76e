#pragma once

#include <cstddef>

// Room a timestamp needs, its terminating NUL included.
constexpr std::size_t traceTimestampSize = 64;

// Writes the local time as "year-month-day hours:minutes:seconds.milliseconds "
// (trailing blank included) into buffer, which holds traceTimestampSize
// characters. Returns the number of characters written, 0 on failure.
int FormatTraceTimestamp(char* buffer);
