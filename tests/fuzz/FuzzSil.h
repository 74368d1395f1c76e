#pragma once

#include "script/SILCommandTable.h"
#include "script/SILParameters.h"
#include "script/SILRuntime.h"

// What the SIL targets share: commands that read and write their parameters
// as real commands do, and a poll that ends a run after a bounded number of
// instructions, so that an endless loop in a fuzz input is not a hang.
namespace fuzz {

constexpr int kInstructionBudget = 4096;

inline int instructionsLeft = 0;

inline int PollWithBudget() {
    return --instructionsLeft < 0 ? -1 : 0;
}

// Reads every parameter as its type, and writes the return target as its
// type, as a command does: a command that reads a number as a string object,
// or writes a parameter that is a constant inside the code, alters the
// program on its own account.
inline void UseEveryParameter(void*) {
    int const count = SILGetParaNum();
    for (int i = -1; i <= count; ++i) { // one beyond each end: must be harmless
        int type = -1;
        SILGetParaType(i, &type);
        (void)SILGetParaPtr(i, &type);
        (void)SILGetIntPara(i);
        (void)SILGetFloatPara(i);
        if (type == 2 || i < 0 || i >= count) {
            (void)SILGetStringPara(i);
        }
    }
    SILSetIntPara(count, 1); // out of range: nothing happens
    if (SILRuntime.targetFlag != 0) {
        switch (SILRuntime.paraType[0]) {
        case 0:
            SILSetIntReturn(count);
            break;
        case 1:
            SILSetFloatReturn(1.5f);
            break;
        case 2:
            SILSetStringReturn("result of the command");
            break;
        default:
            break;
        }
    }
}

// Registers the fuzzing commands once: a print like the command set's, and
// commands with int, float and string targets and optional arguments.
inline void RegisterCommands() {
    static bool const registered = [] {
        SILRegisterCommand("print s:sssssssssssssss", "", UseEveryParameter, nullptr);
        SILRegisterCommand("fzint Iis:x", "", UseEveryParameter, nullptr);
        SILRegisterCommand("fzfloat Ff:f", "", UseEveryParameter, nullptr);
        SILRegisterCommand("fzstring Ss:xxxxxxxxxxxxxx", "", UseEveryParameter, nullptr);
        return true;
    }();
    (void)registered;
}

} // namespace fuzz
