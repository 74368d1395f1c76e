#include <cstdio>
#include <cstring>

#include "script/SILCommandTable.h"
#include "util/Strlcpy.h"

using namespace sil;

namespace {

void PrintRow(T_SILCommand const& command) {
    std::printf("\033[33m%s\033[37;1;40m\r\n  %s\r\n", command.nameAndSignature, command.help);
}

bool HasHelp(T_SILCommand const& command) {
    return command.help[0] != '\0';
}

} // namespace

void SILPrintHelp(char* line) {
    std::puts("\r");
    // The argument: what follows the first blank, without leading white space
    // and without the line end.
    char argument[1024] = "";
    char const* blank = line != nullptr ? std::strchr(line, ' ') : nullptr;
    if (blank != nullptr) {
        blank += std::strspn(blank, " \t");
        strlcpy(argument, blank, sizeof argument);
        std::size_t length = std::strlen(argument);
        while (length > 0 && (argument[length - 1] == '\r' || argument[length - 1] == '\n')) {
            argument[--length] = '\0';
        }
    }
    if (argument[0] != '\0') {
        for (int row = 0; row < numcmd; ++row) {
            if (std::strcmp(commands[row].nameAndSignature, argument) == 0) {
                if (HasHelp(commands[row])) {
                    PrintRow(commands[row]);
                }
                return;
            }
        }
    }
    for (int row = 0; row < numcmd; ++row) {
        T_SILCommand const& command = commands[row];
        if (HasHelp(command) &&
            (argument[0] == '\0' || std::strstr(command.help, argument) != nullptr ||
             std::strstr(command.nameAndSignature, argument) != nullptr)) {
            PrintRow(command);
        }
    }
}
