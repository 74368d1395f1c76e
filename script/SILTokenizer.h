#pragma once

#include "script/SILCompileState.h"

// Splits one script line into tokens: operators spaced apart, tokens
// separated by white space and commas, quoted texts kept whole with their
// bracketed names replaced, trailing comments dropped, the arrow noted.

namespace sil {

constexpr int kMaxTokens = 18;

struct T_SILLine {
    char text[kLineSize]; // the working copy, split into tokens in place
    char const* tokens[kMaxTokens];
    int count;
    bool arrow; // the second token was "<-" (not stored)
};

// The comparison operators in the order in which they are recognised, with
// their codes, and the two-character texts that get blanks around them.
extern char const* const kOperatorTexts[];
extern int const kOperatorCodes[];
extern char const* kTwoCharacterOperators[];

// Puts a blank before and after every operator outside quotes and before the
// first "%". Returns 0 or kErrLineTooLong.
int SpaceOperators(char* text);

// Tokenizes line.text. Returns 0 or the compile error code.
int Tokenize(T_SILLine& line);

// The operator code a token begins with, or 0.
int OperatorCode(char const* token);

} // namespace sil
