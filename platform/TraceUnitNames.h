#pragma once

#include "util/QuorExport.h"

// The platform's table of trace-unit names, indexed by unit number. The size
// is in bytes; the last entry is not a unit. The platform's 32-bit target has
// 4-byte pointers, so there the entry count is the size divided by 4; on a
// 64-bit build it is the size divided by the pointer size (8).
extern "C" {
QUOR_EXPORT extern char const* const traceUnitsStringArray[];
QUOR_EXPORT extern unsigned const* const traceUnitsStringArraySizePtr;
}
