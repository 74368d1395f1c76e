// A command line of any content through the shell's parser and dispatcher.
#include <cstdint>
#include <string>

#include "FuzzShell.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    fuzz::RegisterShellCommands();
    std::string const line(reinterpret_cast<char const*>(data), size);
    qshell.ProcessQshellCmd(line.c_str());
    return 0;
}
