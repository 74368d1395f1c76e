#pragma once

#include "util/QuorExport.h"

extern "C" {

// The handler of the built-in rows: carries out the instruction in SILRuntime
// by its opcode.
QUOR_EXPORT void SILExecuteBuiltin(void* userData);

// The condition of if, while and until: parameters 0 and 2 compared by the
// operator code in parameter 1. Returns 1 when it holds.
QUOR_EXPORT int SILEvaluateCondition(void);
}
