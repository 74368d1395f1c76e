#include "debug/QuorTraceCmds.h"

#include <sstream>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "shell/CQshell.h"

namespace {

constexpr char traceGroup[] = "trace";
constexpr char unitError[] = "ERROR: Parameter 1 (trace unit) is not a number or a valid name";

void Answer(std::string const& text) {
    std::ostringstream line;
    line << text << "\n";
    StreamToStdout(line);
}

void Debug(char const* format, char const* text) {
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, format, text);
}

void DebugNumber(char const* format, long value) {
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, format, value);
}

// The traces every handler with parameters starts with; false (and the
// answer printed) when fewer than one parameter came.
bool HasFirstParam(CommandStruct const* cs, char const* handler, char const* missingAnswer,
                   char const* presentText = " - Par is >= 1") {
    DebugNumber("ParamCount = %ld\n", cs->m_paramCount);
    if (cs->m_paramCount < 1) {
        Answer(missingAnswer);
        return false;
    }
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, "%s%s\n", handler, presentText);
    return true;
}

// A unit by number, or by name in any letter case. Numbers of 400 and more
// pass here; the facility refuses them. False (and the answer printed) for
// an unknown name, unit 0 or a parameter of another type.
bool ResolveUnit(T_CommandParam const& param, unsigned* unit) {
    *unit = 0;
    if (param.m_type == QSHELL_PARAM_TEXT) {
        *unit = CQuorTrace::GetTraceUnitNrByName(param.m_text.c_str());
        TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG,
                             "Trace unit from name : %s = %u\n", param.m_text.c_str(), *unit);
    } else if (param.m_type == QSHELL_PARAM_NUMBER) {
        // A negative number lands far beyond the last unit.
        *unit = param.m_value < 0 || param.m_value > static_cast<long>(QUOR_TRACE_MAX_UNITS)
                    ? QUOR_TRACE_MAX_UNITS
                    : static_cast<unsigned>(param.m_value);
    }
    if (*unit == 0) {
        Answer(unitError);
        return false;
    }
    return true;
}

// A level by number or by name (an unknown name is level 0). False for a
// parameter of another type.
bool ResolveLevel(T_CommandParam const& param, bool traceName, T_TraceLevel* level) {
    if (param.m_type == QSHELL_PARAM_NUMBER) {
        *level = static_cast<T_TraceLevel>(param.m_value);
        return true;
    }
    if (param.m_type != QSHELL_PARAM_TEXT) {
        return false;
    }
    *level = CQuorTrace::GetTraceLevelNrByName(param.m_text.c_str());
    if (traceName) {
        TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG,
                             "Trace level from name : %s = %d\n", param.m_text.c_str(), *level);
    }
    return true;
}

// The commands that switch a mode with 0 or a non-zero number.
int SwitchMode(CommandStruct* cs, char const* handler, char const* what, char const* traceText,
               int (CQuorTrace::*set)(int), char const* onAnswer, char const* offAnswer) {
    Debug("%s called\n", handler);
    std::string const error = std::string("ERROR: Parameter 1 (") + what + ") is ";
    if (!HasFirstParam(cs, handler, (error + "missing").c_str())) {
        return QSHELL_ERR_PARAM_MISSING;
    }
    if (cs->m_param[0].m_type != QSHELL_PARAM_NUMBER) {
        Answer(error + "not a number");
        return QSHELL_ERR_PARAM1;
    }
    long const value = cs->m_param[0].m_value;
    TraceFormattedString(TRACE_QSHELL_CMDS, TRACELEVEL_DEBUG, "%s%ld\n", traceText, value);
    (quorTrace.*set)(value != 0 ? 1 : 0);
    Answer(value != 0 ? onAnswer : offAnswer);
    return 0;
}

std::string UnitText(unsigned unit) {
    return std::string(CQuorTrace::GetTraceUnitNamePtr(unit)) + " (" + std::to_string(unit) + ")";
}

} // namespace

void AddQuorTraceQshellCmds() {
    struct Command {
        int paramCount;
        char const* name;
        char const* help;
        T_QshellFunction handler;
    };
    static Command const commands[] = {
        {2, "q_traceon", "q_traceon <trace_unit> <trace_level>\tSet trace level for a unit",
         QshellCmdSetTraceOn},
        {1, "q_traceoff", "q_traceoff <trace_unit>\t\t\tSwitch off traces for a unit",
         QshellCmdSetTraceOff},
        {1, "q_traceonall", "q_traceonall <trace_level>\t\tSet trace level for all units",
         QshellCmdSetTraceOnAll},
        {0, "q_traceoffall", "q_traceoffall\t\t\t\tSwitch off traces for all units",
         QshellCmdSetTraceOffAll},
        {1, "q_tracestate",
         "q_tracestate [trace_unit]>\t\tShow current trace level for a unit or all units",
         QshellCmdShowTraceState},
        {0, "q_timestampson", "q_timestampson\t\t\t\tActivates timestamps in trace output",
         QshellCmdSetTraceTimestampsOn},
        {0, "q_timestampsoff", "q_timestampsoff\t\t\t\tDeactivates timestamps in trace output",
         QshellCmdSetTraceTimestampsOff},
        {1, "q_tracedirectprintmode",
         "q_tracedirectprintmode 0|1\t\tSwitch direct print mode for traces off/on",
         QshellCmdSetTraceModeDirectPrint},
        {1, "q_tracelogfilemaxsize",
         "q_tracelogfilemaxsize <size_in_bytes>\tSet the maximum size of the trace logfile",
         QshellCmdSetTraceLogfileSize},
        {0, "q_starttracingtoscreen",
         "q_starttracingtoscreen\t\t\tStarts tracing to stdout (debug console)",
         QshellCmdStartTracingToScreen},
        {0, "q_stoptracingtoscreen",
         "q_stoptracingtoscreen\t\t\tStops tracing to stdout (debug console)",
         QshellCmdStopTracingToScreen},
        {1, "q_traceusesyslog",
         "q_traceusesyslog 0|1\t\tSwitch print mode for traces to use syslog off/on",
         QshellCmdSetTraceModeUseSyslog},
        {1, "q_tracewithcolors", "q_tracewithcolors 0|1\t\tSwitch color mode for traces off/on",
         QshellCmdSetTraceWithColors},
    };
    for (Command const& command : commands) {
        qshell.AddQshellCmd(command.paramCount, command.name, traceGroup, command.help,
                            command.handler, nullptr, true);
    }
}

int QshellCmdSetTraceOn(CommandStruct* cs) {
    Debug("%s called\n", " QshellCmdSetTraceOn");
    DebugNumber("ParamCount = %ld\n", cs->m_paramCount);
    if (cs->m_paramCount < 2) {
        Answer("ERROR: Not enough parameters");
        return QSHELL_ERR_PARAM_MISSING;
    }
    unsigned unit = 0;
    if (!ResolveUnit(cs->m_param[0], &unit)) {
        return QSHELL_ERR_PARAM1;
    }
    T_TraceLevel level = 0;
    if (!ResolveLevel(cs->m_param[1], true, &level)) {
        Answer("ERROR: Parameter 2 (trace level) is not a number or string");
        return QSHELL_ERR_PARAM2;
    }
    DebugNumber("Trace on for unit %ld\n", unit);
    if (quorTrace.SetTraceOn(unit, level) < 0) {
        Answer("ERROR: Parameter 1 (trace unit) is out of range");
        return QSHELL_ERR_PARAM1;
    }
    Answer(std::string("Trace switched on to level ") +
           CQuorTrace::GetTraceLevelNamePtr(static_cast<unsigned>(level)) + " (" +
           std::to_string(level) + ") for unit " + UnitText(unit));
    return 0;
}

int QshellCmdSetTraceOff(CommandStruct* cs) {
    Debug("%s called\n", "QshellCmdSetTraceOff");
    if (!HasFirstParam(cs, "QshellCmdSetTraceOff", "ERROR: Parameter 1 (trace unit) is missing",
                       " - ParamCount is >= 1")) {
        return QSHELL_ERR_PARAM_MISSING;
    }
    unsigned unit = 0;
    if (!ResolveUnit(cs->m_param[0], &unit)) {
        return QSHELL_ERR_PARAM1;
    }
    DebugNumber("Trace off for unit %ld\n", unit);
    if (quorTrace.SetTraceOff(unit) < 0) {
        Answer("ERROR: Parameter 1 (trace unit) is out of range");
        return QSHELL_ERR_PARAM1;
    }
    Answer("Trace switched off for unit " + UnitText(unit));
    return 0;
}

int QshellCmdSetTraceOnAll(CommandStruct* cs) {
    Debug("%s called\n", "QshellCmdSetTraceOnAll");
    if (!HasFirstParam(cs, "QshellCmdSetTraceOnAll",
                       "ERROR: Parameter 1 (trace level) is missing")) {
        return QSHELL_ERR_PARAM_MISSING;
    }
    T_TraceLevel level = 0;
    if (!ResolveLevel(cs->m_param[0], false, &level)) {
        Answer("ERROR: Parameter 1 (trace level) is not a number or string");
        return QSHELL_ERR_PARAM1;
    }
    DebugNumber("Trace on for all units %ld\n", level);
    quorTrace.SetTraceOnAll(level);
    Answer(std::string("Trace switched on for all units to ") +
           CQuorTrace::GetTraceLevelNamePtr(static_cast<unsigned>(level)));
    return 0;
}

int QshellCmdSetTraceOffAll(CommandStruct* /*cs*/) {
    Debug("%s called\n", "QshellCmdSetTraceOffAll");
    quorTrace.SetTraceOffAll();
    quorTraceThread.ClearTraceBuffer();
    Answer("All traces switched off");
    return 0;
}

int QshellCmdShowTraceState(CommandStruct* cs) {
    Debug("%s called\n", "QshellCmdShowTraceState");
    DebugNumber("ParamCount = %ld\n", cs->m_paramCount);
    if (cs->m_paramCount < 1) {
        return quorTrace.PrintAllTraceActivationStates();
    }
    Debug("%s - Par is >= 1\n", "QshellCmdShowTraceState");
    unsigned unit = 0;
    if (!ResolveUnit(cs->m_param[0], &unit)) {
        return QSHELL_ERR_PARAM1;
    }
    DebugNumber("Trace state for unit %ld\n", unit);
    // A unit beyond the last one is answered by the listing itself.
    return quorTrace.PrintTraceActivationState(unit, false);
}

int QshellCmdSetTraceTimestampsOn(CommandStruct* /*cs*/) {
    Debug("%s called\n", "QshellCmdSetTraceTimestampsOn");
    quorTrace.SetTraceTimestampsOn();
    Answer("Trace timestamps switched on");
    return 0;
}

int QshellCmdSetTraceTimestampsOff(CommandStruct* /*cs*/) {
    Debug("%s called\n", "QshellCmdSetTraceTimestampsOff");
    quorTrace.SetTraceTimestampsOff();
    Answer("Trace timestamps switched off");
    return 0;
}

int QshellCmdSetTraceModeDirectPrint(CommandStruct* cs) {
    return SwitchMode(cs, "QshellCmdSetTraceModeDirectPrint", "DirectPrintMode",
                      "TraceModeDirectPrint ", &CQuorTrace::SetTraceModeDirectPrint,
                      "DirectPrintMode switched on", "DirectPrintMode switched off");
}

int QshellCmdSetTraceLogfileSize(CommandStruct* cs) {
    Debug("%s called\n", "QshellCmdSetTraceLogfileSize");
    if (!HasFirstParam(cs, "QshellCmdSetTraceLogfileSize",
                       "ERROR: Parameter 1 (TraceLogfileMaxSize) is missing")) {
        return QSHELL_ERR_PARAM_MISSING;
    }
    if (cs->m_param[0].m_type != QSHELL_PARAM_NUMBER) {
        Answer("ERROR: Parameter 1 (TraceLogfileMaxSize) is not a number");
        return QSHELL_ERR_PARAM1;
    }
    long const size = cs->m_param[0].m_value;
    DebugNumber("TraceLogfileMaxSize = %ld\n", size);
    quorTrace.SetTraceFileMaxSize(size);
    Answer("TraceLogfileMaxSize set to " + std::to_string(size));
    return 0;
}

int QshellCmdStartTracingToScreen(CommandStruct* /*cs*/) {
    Debug("%s called\n", "QshellCmdStartTracingToScreen");
    Answer("Starting tracing to screen !!!");
    quorTrace.StartTracingToScreen();
    return 0;
}

int QshellCmdStopTracingToScreen(CommandStruct* /*cs*/) {
    Debug("%s called\n", "QshellCmdStopTracingToScreen");
    Answer("Stopping tracing to screen !!!");
    quorTrace.StopTracingToScreen();
    return 0;
}

int QshellCmdSetTraceModeUseSyslog(CommandStruct* cs) {
    return SwitchMode(cs, "QshellCmdSetTraceModeUseSyslog", "Use syslog", "TraceModeUseSyslog ",
                      &CQuorTrace::SetTraceModeUseSyslog, "Using syslog", "Not using syslog");
}

int QshellCmdSetTraceWithColors(CommandStruct* cs) {
    return SwitchMode(cs, "QshellCmdSetTraceWithColors", "TraceWithColors", "TraceWithColors ",
                      &CQuorTrace::SetTraceWithColors, "TraceWithColors switched on",
                      "TraceWithColors switched off");
}
