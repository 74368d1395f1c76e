// A datagram of any content and length as the shell thread receives it: a
// request is QSHELL_REQUEST_SIZE bytes, not necessarily NUL-terminated, and
// anything shorter is ignored. Short inputs are padded with zero bytes to a
// whole request, as a client pads its line.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzShell.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    fuzz::RegisterShellCommands();
    if (size == 0) {
        return 0;
    }
    // The first byte chooses between a padded request and the raw datagram.
    bool const padded = (data[0] & 1) != 0;
    ++data;
    --size;
    std::vector<std::uint8_t> datagram(data, data + size);
    if (padded && datagram.size() < QSHELL_REQUEST_SIZE) {
        datagram.resize(QSHELL_REQUEST_SIZE, 0);
    }
    qshell.HandleQshellDatagram(datagram.data(), datagram.size());
    return 0;
}
