#pragma once

#include "script/SILCommandTable.h"
#include "util/QuorExport.h"

// The script command set: printing, waits, bit operations, list access,
// debug-shell calls (remote-control keys included), system variables and the
// simulator call; and the entry points that run a script from a buffer or a
// file and that stop a running script.
//
// Scripts run on the caller's thread. The interpreter's state is one per
// process, so one thread at a time runs scripts: a script started on a second
// thread while another runs is refused. A command of a running script may run
// a further script on the same thread.

// One row of the remote-control key table; names may share a code.
struct T_IrCodeName {
    int code;
    char const* name;
};

// Ends with the row {-1, "indicates_end_of_table"}.
extern QUOR_EXPORT T_IrCodeName const quorIrCodeNameTable[];

// The code of the first row named exactly `name`; -1 when there is none or
// name is null.
QUOR_EXPORT int GetIrCodeByName(char const* name);

// Same as SILRegisterCommand.
QUOR_EXPORT int RegisterCommand(char const* nameAndSignature, char const* help,
                                SILCommandHandler handler, void* userData);

// Registers the command set (the argument is not used); returns the result
// of the last registration. A second call adds nothing.
QUOR_EXPORT int QSH_RegisterCommands(void* unused);

// Compiles and runs a script. -1 when it does not compile (the message is
// printed) or another thread runs a script; otherwise 0, also after a
// run-time error. The text is modified.
QUOR_EXPORT int QSH_ExecuteScriptFromBuffer(char* text);

// Loads at most the first 131072 bytes of the file and runs them as above;
// -1 when it cannot be opened.
QUOR_EXPORT int QSH_ExecuteScriptFromFile(char const* path);

// Stops the running script before its next instruction. Any thread.
QUOR_EXPORT void QSH_AbortScriptRequest();

namespace sil {

constexpr unsigned kScriptFileSize = 131072;
constexpr unsigned kProgramBufferSize = 49152;

} // namespace sil
