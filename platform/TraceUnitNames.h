#pragma once

#include "util/QuorExport.h"

// The platform's table of trace-unit names, indexed by unit number. The size
// is in bytes; the last entry is not a unit.
extern "C" {
QUOR_EXPORT extern char const* const traceUnitsStringArray[];
QUOR_EXPORT extern unsigned const* const traceUnitsStringArraySizePtr;
}
