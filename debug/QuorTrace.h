#pragma once

#include <sstream>

#include "debug/QuorTraceUnits.h"
#include "debug/TraceLevels.h"
#include "util/QuorExport.h"

// Trace entry points. A line comes out only when its level is at least the
// unit's activation level (30 by default, 70 is off). Messages end in "\n".
extern "C" QUOR_EXPORT void TraceFormattedString(unsigned unit, int level, char const* format, ...)
    __attribute__((format(printf, 3, 4)));

// Callers test GetTraceActivationState(unit) <= level before building text.
QUOR_EXPORT void TraceStream(unsigned unit, int level, std::ostringstream const& text);

// Console output that is not a trace line: no filter, header or counter, but
// the same route as the trace lines.
QUOR_EXPORT void FormattedStringToStdout(char const* format, ...)
    __attribute__((format(printf, 1, 2)));
QUOR_EXPORT void StreamToStdout(std::ostringstream const& text);
// A finished text on the same route, without formatting.
QUOR_EXPORT void StringToStdout(char const* text);

// A function that receives every line the printer thread outputs.
typedef void (*T_UserTraceOutputFunction)(char const* text);

// Plain-named wrappers on quorTrace; each returns what the member returns.
extern "C" {
// Init with the facility LOG_LOCAL0.
QUOR_EXPORT int QuorTrace_Init(char const* processName);
QUOR_EXPORT T_TraceLevel GetTraceActivationState(unsigned unit);
QUOR_EXPORT int SetTraceOn(unsigned unit, T_TraceLevel level);
QUOR_EXPORT int SetTraceOff(unsigned unit);
QUOR_EXPORT int PrintTraceActivationState(unsigned unit);
QUOR_EXPORT int PrintAllTraceActivationStates();
QUOR_EXPORT int RegisterUserDefinedTraceOutputFunction(T_UserTraceOutputFunction function);
QUOR_EXPORT int UnregisterUserDefinedTraceOutputFunction();
}
