#pragma once

#include "util/QuorExport.h"

// The SIL interpreter: runs a program that SILCompile has put into a buffer.
// Each instruction's argument descriptors are decoded into the parameter block
// SILRuntime, then the handler of its command row is called.

struct T_SILRuntime {
    int opcode;       // row index of the instruction being executed
    int targetFlag;   // 1 when the line names a return target
    int* para[16];    // one per descriptor, the target first
    int paraType[16]; // 0 int, 1 float, 2 string, 3 jump target or operator
    int paraNum;      // descriptors, including the target
    int returnStack[32];
    int callDepth;
    int* program; // the program being run, null between runs
};

extern "C" {

// Asked before every instruction; -1 ends the run.
typedef int (*SILPollFunction)(void);

QUOR_EXPORT extern T_SILRuntime SILRuntime;

// The run-time error of the current instruction (0 when none) and the name of
// the variable involved ("" when none).
QUOR_EXPORT extern int RuntimeError;
QUOR_EXPORT extern char RuntimeErrorInfo[256];

// Runs `program` from its entry index until its end marker, `stop`, the first
// run-time error or a poll result of -1. Returns 0, or -100 without running
// anything when the program is corrupted (checksum). The second argument is
// not used (callers pass 0).
QUOR_EXPORT int SILRun(int* program, int ignored, SILPollFunction poll);
}

namespace sil {

enum RuntimeErrorCode : int {
    kErrStringOverflow = -1,
    kErrInputTooLong = -2,
    kErrPoolFull = -3,
    kErrNestingTooDeep = -4,
    kErrReturnOutside = -5,
    kErrCorruptedProgram = -6, // a descriptor, jump or object outside the buffer
};

constexpr int kRunCorrupted = -100;

// Size in words of the program being run; 0 between runs.
extern unsigned runWords;

// Ends the run with kErrCorruptedProgram, naming the word concerned when it
// lies in the program.
void SetCorrupted(int const* word);

} // namespace sil
