#pragma once

#include "util/QuorExport.h"

// The SIL compiler: translates a script in one pass into a word program in a
// buffer of the caller (see SILProgram.h for its layout). One compiler per
// process; a compile and the run of its result are not reentrant.

extern "C" {

// Compiles `source` (split in place, so it is modified) into `buffer` of
// `bufferSize` bytes and returns `buffer`. The outcome is header word 4: 0, or
// the negative error code, with the message in SILLastError().
QUOR_EXPORT int* SILCompile(char* source, int* buffer, unsigned bufferSize);

// The message of the last compile error, "" after a successful compile.
QUOR_EXPORT char const* SILLastError(void);

// The argument number reported by the last "Type mismatch".
QUOR_EXPORT extern int SILBadArgument;

// Index of the first entry of the null-terminated `list` that `text` begins
// with, or -1.
QUOR_EXPORT int CheckOperator(char const** list, char const* text);

// Declares a variable of the compile in progress: type 0 int, 1 float (size
// 4), 2 string (size = capacity + 8 bytes); an int of size 0 is a subroutine
// label. Returns 0 or the compile error code.
QUOR_EXPORT int SILDeclareVariable(char const* name, int type, int size);
}

namespace sil {

enum CompileError : int {
    kErrUnknownCommand = -100,
    kErrArgumentCount = -99,
    kErrTypeMismatch = -98,
    kErrNestingIf = -96,
    kErrNestingWhile = -95,
    kErrNestingRepeat = -94,
    kErrTooManyVariables = -93,
    kErrDeclaredTwice = -92,
    kErrUnknownVariable = -91,
    kErrVariableMemory = -90,
    kErrProgramMemory = -89,
    kErrTooManyArguments = -88,
    kErrLineTooLong = -86,
    kErrSyntax = -85,
};

} // namespace sil
