// The shell's built-in commands, group "qshell".
#include <unistd.h>

#include <climits>

#include "debug/QuorTrace.h"
#include "shell/CQshell.h"

namespace {

constexpr char builtinGroup[] = "qshell";

} // namespace

void CQshell::AddQshellInternalQshellCmds() {
    AddQshellCmd(1, "q_help", builtinGroup, "q_help [qshell_cmd] | groups", QshellFunctionHelp,
                 nullptr, true);
    AddQshellCmd(1, "q_sleep", builtinGroup, "q_sleep <nr of seconds>", QshellCmdSleep, nullptr,
                 true);
    // Kept out of the shell.
    AddQshellCmd(1, "q_dumplastcmd", builtinGroup, "q_dumplastcmd", QshellFunctionDumpLastCmd,
                 nullptr, false);
    AddQshellCmd(0, "deinit", builtinGroup, "deinit\tJUST FOR QSHELL INTERNAL USE",
                 QshellFunctionDeinit, nullptr, true);
    AddQshellCmd(0, "q_echo", builtinGroup, "q_echo Just prints the text like the linux echo cmd",
                 QshellFunctionEcho, nullptr, true);
}

int CQshell::QshellFunctionHelp(CommandStruct* cs) {
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "----- QshellFunction Help called\n");
    FormattedStringToStdout("q_help (%s)\n", qshell.m_threadName.c_str());
    if (cs->m_paramCount < 1) {
        qshell.PrintAllQshellEntrysShortHelp();
        return 0;
    }
    T_CommandParam const& param = cs->m_param[0];
    if (param.m_type == QSHELL_PARAM_NUMBER) {
        return 0;
    }
    // A copy: a help function may run further command lines on cs.
    std::string const word = param.m_text;
    if (word == "groups") {
        qshell.PrintAllQshellGroups();
        return 0;
    }
    if (CQshellEntry* const entry = qshell.GetQshellEntry(word)) {
        if (entry->m_helpFunction != nullptr) {
            entry->m_helpFunction(cs);
        } else {
            entry->PrintShortHelp();
        }
        return 0;
    }
    TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "No entry found\n");
    int result = 0;
    if (qshell.PrintAllQshellEntrysShortHelpForGroup(word) == 0) {
        FormattedStringToStdout(
            "-- ERROR: Help for unknown qshell command / qshell group requested: %s\n",
            word.c_str());
        result = QSHELL_ERR_UNKNOWN_COMMAND;
    }
    qshell.PrintAllQshellEntrysWithIncludedSubstring(word);
    return result;
}

int CQshell::QshellFunctionEcho(CommandStruct* cs) {
    std::size_t const blank = cs->m_inputLine.find(' ');
    FormattedStringToStdout("%s\n",
                            blank == std::string::npos ? "" : cs->m_inputLine.c_str() + blank);
    return 0;
}

int CQshell::QshellFunctionDumpLastCmd(CommandStruct* /*cs*/) {
    FormattedStringToStdout("Dump of last qshell command input string:\n");
    DumpString(qshell.m_previousInputLine.c_str());
    return 0;
}

int CQshell::QshellFunctionDeinit(CommandStruct* /*cs*/) {
    FormattedStringToStdout("Qshell Deinit called\n");
    return 0;
}

int QshellCmdSleep(CommandStruct* cs) {
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, "QshellCmdSleep\n");
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, "ParamCount = %d\n",
                         cs->m_paramCount);
    if (cs->m_paramCount < 1) {
        FormattedStringToStdout("ERROR: Parameter 1 (nr of seconds) is missing\n");
        return QSHELL_ERR_PARAM_MISSING;
    }
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, "QshellCmdSleep - Par is >= 1\n");
    if (cs->m_param[0].m_type != QSHELL_PARAM_NUMBER) {
        FormattedStringToStdout("ERROR: Parameter 1 (nr of seconds) is not a number\n");
        return QSHELL_ERR_PARAM1;
    }
    long const seconds = cs->m_param[0].m_value;
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, "Sleeping %ldseconds\n", seconds);
    // A negative count sleeps not at all, rather than for 136 years.
    unsigned left = seconds <= 0 ? 0
                    : static_cast<unsigned long>(seconds) >= UINT_MAX
                        ? UINT_MAX
                        : static_cast<unsigned>(seconds);
    while (left > 0) {
        left = sleep(left); // the rest after a signal
    }
    return 0;
}
