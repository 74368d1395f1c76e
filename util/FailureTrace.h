#pragma once

// Internal to the file utilities: the trace of a failed system call.

namespace utils {
namespace detail {

// Traces "<function>() failed on '<path>'! errno: <strerror(errorNumber)>" at
// unit 20 and the given level.
void TraceFailedCall(int level, char const* function, char const* path, int errorNumber);

} // namespace detail
} // namespace utils
