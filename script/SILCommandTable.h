#pragma once

#include "util/QuorExport.h"

// The global table of SIL commands. Every statement of a script calls one row:
// the built-in rows (control flow, assignment, arithmetic, strings,
// subroutines) are there from load time, further commands are registered at
// run time. A row's index is its opcode.

extern "C" {

// Runs one command; reads and writes its parameters through the parameter API.
typedef void (*SILCommandHandler)(void* userData);

// Appends a row ("name" or "name signature", at most 31 characters kept) and
// returns its opcode; -1 when the table is full, -2 when a row with the same
// text exists (nothing is added).
QUOR_EXPORT int SILRegisterCommand(char const* nameAndSignature, char const* help,
                                   SILCommandHandler handler, void* userData);

// Prints the help of the commands; `line` is a command line whose first word
// is the help command and whose argument, if any, selects the rows.
QUOR_EXPORT void SILPrintHelp(char* line);
}

namespace sil {

struct T_SILCommand {
    char nameAndSignature[64]; // "add Iii", or the bare word
    char const* help;          // "" when the command has none
    void* userData;
    SILCommandHandler handler;
};

constexpr int kMaxCommands = 1024;
constexpr int kMaxRowText = 31;

extern T_SILCommand commands[kMaxCommands];
extern int numcmd;

// Length of the command word of a row (the text before its first blank).
int CommandWordLength(char const* nameAndSignature);

} // namespace sil
