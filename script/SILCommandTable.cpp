#include "script/SILCommandTable.h"

#include <cstdio>
#include <cstring>

#include "script/SILBuiltins.h"
#include "script/SILProgram.h"
#include "util/Strlcpy.h"

namespace sil {

// Constant-initialised, so the built-in rows are there before any static
// constructor of the process can register a command.
T_SILCommand commands[kMaxCommands] = {
    {"stop", "Stops script execution", nullptr, SILExecuteBuiltin},
    {"if xox", "", nullptr, SILExecuteBuiltin},
    {"else", "", nullptr, SILExecuteBuiltin},
    {"endif", "", nullptr, SILExecuteBuiltin},
    {"while xox", "", nullptr, SILExecuteBuiltin},
    {"wend", "", nullptr, SILExecuteBuiltin},
    {"repeat", "", nullptr, SILExecuteBuiltin},
    {"until xox", "", nullptr, SILExecuteBuiltin},
    {"set ii", "", nullptr, SILExecuteBuiltin},
    {"set ff", "", nullptr, SILExecuteBuiltin},
    {"set ss", "", nullptr, SILExecuteBuiltin},
    {"prints ss", "Print to string", nullptr, SILExecuteBuiltin},
    {"add Iii", "", nullptr, SILExecuteBuiltin},
    {"add Fff", "", nullptr, SILExecuteBuiltin},
    {"sub Iii", "", nullptr, SILExecuteBuiltin},
    {"sub Fff", "", nullptr, SILExecuteBuiltin},
    {"mult Iii", "", nullptr, SILExecuteBuiltin},
    {"mult Fff", "", nullptr, SILExecuteBuiltin},
    {"div Iii", "", nullptr, SILExecuteBuiltin},
    {"div Fff", "", nullptr, SILExecuteBuiltin},
    {"concat Ss", "", nullptr, SILExecuteBuiltin},
    {"strlen Is", "Returns length of string in 1st parameter", nullptr, SILExecuteBuiltin},
    {"call i", "Call subroutine", nullptr, SILExecuteBuiltin},
    {"return", "Return from subroutine", nullptr, SILExecuteBuiltin},
    {"integer Is", "Converts a string to an integer", nullptr, SILExecuteBuiltin},
    {"set Ii", "", nullptr, SILExecuteBuiltin},
    {"set Ff", "", nullptr, SILExecuteBuiltin},
    {"set Ss", "", nullptr, SILExecuteBuiltin},
};
int numcmd = kBuiltinCount;

int CommandWordLength(char const* nameAndSignature) {
    return static_cast<int>(std::strcspn(nameAndSignature, " "));
}

} // namespace sil

using namespace sil;

int SILRegisterCommand(char const* nameAndSignature, char const* help, SILCommandHandler handler,
                       void* userData) {
    if (numcmd >= kMaxCommands) {
        std::puts("Too many SIL commands registered!");
        return -1;
    }
    char text[kMaxRowText + 1];
    strlcpy(text, nameAndSignature != nullptr ? nameAndSignature : "", sizeof text);
    for (int row = 0; row < numcmd; ++row) {
        if (std::strcmp(commands[row].nameAndSignature, text) == 0) {
            return -2;
        }
    }
    T_SILCommand& command = commands[numcmd];
    std::memcpy(command.nameAndSignature, text, sizeof text);
    command.help = help != nullptr ? help : "";
    command.userData = userData;
    command.handler = handler;
    return numcmd++;
}
