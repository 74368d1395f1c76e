// A configuration file of any content, read with any comment character and
// item terminator; each keyword line's data is taken apart into items. Every
// fourth input is read as the standard reader does, running QSHELL lines as
// shell commands.
#include <cstdint>

#include "FuzzCfg.h"
#include "FuzzShell.h"
#include "script/CCfgFile.h"

namespace {

int SplitKeyData(char*, char* keydata, char const*, int, char termChar) {
    fuzz::SplitItems(keydata, termChar, 8);
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    static fuzz::MemoryFile file;
    fuzz::RegisterShellCommands();
    if (size < 2) {
        return 0;
    }
    char const commentChar = static_cast<char>(data[0]);
    char const termChar = static_cast<char>(data[1]);
    char const* const path = file.Hold(data + 2, size - 2);
    CCfgFile reader;
    if (data[0] % 4 == 0) {
        reader.ReadCfgfile(path);
    } else {
        reader.ReadCfgfileEx(path, SplitKeyData, commentChar, termChar);
    }
    return 0;
}
