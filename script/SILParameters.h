#pragma once

#include "util/QuorExport.h"

// What a command handler uses to read its arguments and deliver its result.
// Parameter numbers count from 0 and skip the return target: parameter 0 is
// the first argument after the target. Valid while the handler runs.

extern "C" {

// Number of parameters, the target not counted.
QUOR_EXPORT int SILGetParaNum(void);

// Pointer to parameter n (into the program) and its type: 0 int, 1 float,
// 2 string object, 3 jump target or operator. Callers stay below
// SILGetParaNum().
QUOR_EXPORT int* SILGetParaPtr(int n, int* type);
QUOR_EXPORT void SILGetParaType(int n, int* type);

// Parameter n's value; 0, 0.0 or NULL when n is out of range. The text is
// expanded into the string pool and valid until the handler returns.
QUOR_EXPORT int SILGetIntPara(int n);
QUOR_EXPORT float SILGetFloatPara(int n);
QUOR_EXPORT char const* SILGetStringPara(int n);

// Store into parameter n; nothing happens when n is out of range.
QUOR_EXPORT int SILSetIntPara(int n, int value);
QUOR_EXPORT int SILSetFloatPara(int n, float value);
QUOR_EXPORT int SILSetStringPara(int n, char const* text);

// Store into the line's return target; 1 when it has one, else 0.
QUOR_EXPORT int SILSetIntReturn(int value);
QUOR_EXPORT int SILSetFloatReturn(float value);
QUOR_EXPORT int SILSetStringReturn(char const* text);
}
