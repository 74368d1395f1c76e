#pragma once

// The variable table of the latest compile: names and where their storage lies
// in the program buffer.

namespace sil {

enum VariableType : int { kTypeInt = 0, kTypeFloat = 1, kTypeString = 2 };

struct T_SILVariable {
    char name[64]; // at most 63 significant characters
    int position;  // first storage word in the program buffer
    int type;
    int size; // bytes: 4, 0 for a subroutine label, capacity + 8 for a string
};

constexpr int kMaxVariables = 256;
constexpr int kNameSignificant = 63;

extern T_SILVariable var[kMaxVariables];
extern int vanz;

// Index of the variable called `name`, or -1.
int FindVariable(char const* name);

// Name of the variable stored at `position`, "" when there is none.
char const* VariableNameAt(int position);

} // namespace sil
