#include "debug/TraceUnitLookup.h"

#include <strings.h>

#include <cstring>

#include "platform/TraceUnitNames.h"

unsigned TraceUnitTableEntries() {
    // The size is in bytes. The platform's 32-bit target divides by 4; on any
    // other target an entry is one pointer wide.
    return *traceUnitsStringArraySizePtr / sizeof(char const*);
}

char const* TraceUnitNamePtr(unsigned unit) {
    unsigned const entries = TraceUnitTableEntries();
    // The last entry closes the table and is not a unit.
    return unit + 1 < entries ? traceUnitsStringArray[unit] : traceUnitsStringArray[0];
}

unsigned TraceUnitNrByName(char const* name) {
    if (name == nullptr) {
        return 0;
    }
    unsigned const entries = TraceUnitTableEntries();
    for (unsigned unit = 0; unit + 1 < entries; ++unit) {
        if (strcasecmp(traceUnitsStringArray[unit], name) == 0) {
            return unit;
        }
    }
    return 0;
}

bool IsUnusedTraceUnitName(char const* name) {
    static char const sparePrefix[] = "TRACE_G_SPARE";
    return std::strcmp(name, "TRACE_NONE") == 0 ||
           std::strncmp(name, sparePrefix, sizeof sparePrefix - 1) == 0;
}
