#pragma once

#include <cstdarg>
#include <cstddef>

// The layout of a trace line:
//   [timestamp ]"[" sequence number (5 digits) "] " thread id (8 hex digits)
//   " " process prefix, colour, message, colour reset
// The message brings its own "\n".

// Size of a trace line buffer (ring slot or local line), NUL included.
constexpr std::size_t traceLineSize = 2000;

// Formats a line into a ring slot. A message that does not fit is cut, and
// its last character becomes "\n"; five characters stay free for the reset.
// colour is null for a line without colour (then no reset follows).
void FormatQueuedTraceLine(char* text, bool withTimestamp, unsigned short sequenceNumber,
                           char const* colour, char const* format, va_list args);

// Formats a line printed by the calling thread. A message that does not fit
// is cut without a newline. Returns the length of the line (its strlen).
std::size_t FormatDirectTraceLine(char* line, bool withTimestamp, unsigned short sequenceNumber,
                                  char const* colour, char const* format, va_list args);
