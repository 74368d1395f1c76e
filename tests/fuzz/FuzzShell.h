#pragma once

#include <climits>

#include "debug/QuorTraceCmds.h"
#include "shell/CQshell.h"

// The process's shell with its built-in and trace commands, "q_sleep" checking its
// parameter as always but never sleeping, and a command that reads every
// parameter a line gave it.
namespace fuzz {

inline int SleepWithoutSleeping(CommandStruct* cs) {
    if (cs->m_paramCount >= 1 && cs->m_param[0].m_type == QSHELL_PARAM_NUMBER) {
        cs->m_param[0].m_value = cs->m_param[0].m_value > 0 ? 0 : cs->m_param[0].m_value;
    }
    return QshellCmdSleep(cs);
}

inline int ReadEveryParameter(CommandStruct* cs) {
    long sum = 0;
    for (int i = 0; i < cs->m_paramCount; ++i) {
        T_CommandParam const& param = cs->m_param[i];
        sum += param.m_type == QSHELL_PARAM_NUMBER ? param.m_value % 7
                                                   : static_cast<long>(param.m_text.size());
    }
    return sum == 0 ? 0 : QSHELL_ERR_PARAM1;
}

inline void RegisterShellCommands() {
    static bool const registered = [] {
        // Registered first, so that the built-in of the same name is never found.
        qshell.AddQshellCmd(1, "q_sleep", "qshell", "q_sleep <nr of seconds>", SleepWithoutSleeping,
                            nullptr, true);
        qshell.AddQshellInternalQshellCmds();
        AddQuorTraceQshellCmds();
        qshell.AddQshellCmd(-1, "fz_params", "fuzz", "fz_params [params]", ReadEveryParameter,
                            CQshell::QshellFunctionDumpLastCmd, true);
        return true;
    }();
    (void)registered;
}

} // namespace fuzz
