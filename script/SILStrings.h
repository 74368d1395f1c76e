#pragma once

#include "util/QuorExport.h"

// String objects (capacity word, length word, then the text without a
// terminator) and their expansion: references to variables in a text
// ("$x2f$" ...) are replaced by the variables' current values.

extern "C" {

// Assigns `text` to the string object; a longer text is cut to the capacity
// and sets RuntimeError -1 with the variable's name. Returns RuntimeError.
QUOR_EXPORT int SILAssignString(char const* text, int* object);

// Writes the object's text with its references replaced into `dest` (room for
// max + 1 bytes). Returns the length, or -1 when the text does not fit
// (RuntimeError -2 for the input, -1 for the expanded text).
QUOR_EXPORT int SILExpandString(int const* object, char* dest, int max);

// Replaces every occurrence of `pattern` in `text` by `replacement`, letting
// the text grow by at most `allowance` bytes. Returns the number of
// replacements, -1 for an empty text or pattern, -2 when the allowance ran out.
QUOR_EXPORT int SILReplaceAll(char* text, char const* pattern, char const* replacement,
                              int allowance);

// The object's expanded text in the string pool, valid until the current
// instruction ends; "ERROR: String too long!" (RuntimeError -3) when the pool
// has no room for it.
QUOR_EXPORT char const* SILPoolString(int const* object);
}

namespace sil {

constexpr int kStringPoolSize = 65536;
constexpr int kExpandLimit = 32759; // a referenced string variable's expanded text

extern char stringPool[kStringPoolSize];
extern char* strPoolPtr;
extern int strPoolSize;

// Empties the pool; done before every instruction.
inline void ResetStringPool() {
    strPoolPtr = stringPool;
    strPoolSize = kStringPoolSize;
    stringPool[0] = '\0';
}

// Whether a string object's header and text lie inside the program being run
// (any object is accepted between runs) and its length is within its capacity.
bool StringObjectIsSound(int const* object);

// The word index of `object` in the program being run, or -1.
long PositionInProgram(int const* object);

// Name of the variable whose storage is `object`, "" when it is none.
char const* VariableNameOf(int const* object);

} // namespace sil
