#pragma once

// State of the compile in progress, shared by the compiler's files.

namespace sil {

constexpr int kLineSize = 1024;           // a line holds at most 1023 characters
constexpr int kMinFreeWordsPerLine = 128; // free words wanted before each line
constexpr int kStackSize = 32;

extern int* bytecode;  // the buffer being compiled
extern unsigned words; // its size in words
extern int next;       // next free code word
extern int ifstack[kStackSize];
extern int ifsp;
extern int whilestack[kStackSize]; // pairs: while position, its jump slot
extern int whilesp;
extern int repeatstack[kStackSize];
extern int repeatsp;
extern char lastError[256];

// Words between the code and the variable storage.
int FreeWords();

// Appends a code word; false when it would leave no room for the end marker
// below the variable storage.
bool Emit(int word);

// Compiles one tokenized command line (keywords excluded). Returns 0 or the
// compile error code.
struct T_SILLine;
int CompileCommandLine(T_SILLine& line);

// The opcode of the first row of `word` that fits the argument letters, or
// the error of the last row that has the word; `badArgument` receives the
// argument number of a type mismatch.
int MatchSignature(char const* word, char const* letters, int* badArgument);

} // namespace sil
