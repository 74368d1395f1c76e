#pragma once

#include "FuzzShell.h"
#include "script/SILCommandTable.h"
#include "script/SILParameters.h"
#include "script/SILRuntime.h"
#include "script/SILScriptCommands.h"

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

// Registers the script command set once, with the shell it drives. The rows
// that wait or start the simulator are registered first with the same
// signatures but no waiting (the command set's own rows are then refused as
// duplicates); commands with int, float and string targets and optional
// arguments come beside them.
inline void RegisterCommands() {
    static bool const registered = [] {
        for (char const* row :
             {"wait i", "wait_msec i", "wait_sec i", "wait_min i", "q_send_ir_wait_msec ii",
              "q_send_ir_s_wait_msec is", "call_qsim ss", "fzint Iis:x", "fzfloat Ff:f",
              "fzstring Ss:xxxxxxxxxxxxxx"}) {
            SILRegisterCommand(row, "", UseEveryParameter, nullptr);
        }
        QSH_RegisterCommands(nullptr);
        RegisterShellCommands();
        return true;
    }();
    (void)registered;
}

} // namespace fuzz
