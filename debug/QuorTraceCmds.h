#pragma once

#include "shell/CommandStruct.h"
#include "util/QuorExport.h"

// The trace facility's debug-shell commands, group "trace": units on and off,
// activation states, output modes. Each handler prints one answer line (or
// the listing) and returns 0, or QSHELL_ERR_PARAM_MISSING, QSHELL_ERR_PARAM1
// or QSHELL_ERR_PARAM2 for a refused parameter; a refused command changes
// nothing. A unit is given by number or by name (any letter case), a level by
// number or by name.

// Registers the thirteen commands on qshell.
QUOR_EXPORT void AddQuorTraceQshellCmds();

QUOR_EXPORT int QshellCmdSetTraceOn(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceOff(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceOnAll(CommandStruct* cs);
// Also discards the lines still waiting for the printer thread.
QUOR_EXPORT int QshellCmdSetTraceOffAll(CommandStruct* cs);
// Without a unit, the listing of every used unit.
QUOR_EXPORT int QshellCmdShowTraceState(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceTimestampsOn(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceTimestampsOff(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceModeDirectPrint(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceLogfileSize(CommandStruct* cs);
QUOR_EXPORT int QshellCmdStartTracingToScreen(CommandStruct* cs);
QUOR_EXPORT int QshellCmdStopTracingToScreen(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceModeUseSyslog(CommandStruct* cs);
QUOR_EXPORT int QshellCmdSetTraceWithColors(CommandStruct* cs);
