#pragma once

#include <sstream>

#include "debug/QuorTrace.h"

// Traces the line that write puts into a stream, ended by "\n"; the text is
// only built when the unit traces at this level.
template <typename Write> void TraceLine(unsigned unit, T_TraceLevel level, Write write) {
    if (GetTraceActivationState(unit) <= level) {
        std::ostringstream text;
        write(text);
        text << "\n";
        TraceStream(unit, level, text);
    }
}
