#pragma once

// An out-of-line call with the signature of TraceFormattedString that does
// nothing: the floor for a suppressed trace call.
__attribute__((noinline)) void EmptyTraceCall(unsigned unit, int level, char const* format, ...);
