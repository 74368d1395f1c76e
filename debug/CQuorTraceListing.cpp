#include "debug/CQuorTrace.h"
#include "debug/TraceUnitLookup.h"

int CQuorTrace::PrintTraceActivationState(unsigned unit, bool onlyUsed) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        FormattedStringToStdout("Illegal trace unit specified\n");
        return -1600;
    }
    char const* const name = GetTraceUnitNamePtr(unit);
    if (onlyUsed && IsUnusedTraceUnitName(name)) {
        return 0;
    }
    T_TraceLevel const level = GetTraceActivationState(unit);
    FormattedStringToStdout("Trace unit %3d %-22s - Trace activation state = %d (%s)\n",
                            static_cast<int>(unit), name, level,
                            GetTraceLevelNamePtr(static_cast<unsigned>(level)));
    return 0;
}

int CQuorTrace::PrintAllTraceActivationStates() {
    for (unsigned unit = 1; unit < QUOR_TRACE_MAX_UNITS; ++unit) {
        PrintTraceActivationState(unit, true);
    }
    return 0;
}
