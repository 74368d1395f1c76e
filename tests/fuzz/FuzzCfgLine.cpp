// Item text of any content taken apart with any terminator and item buffer
// size.
#include <cstdint>
#include <string>

#include "FuzzCfg.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    char const termChar = static_cast<char>(data[0]);
    int const itemSize = data[1] % 80;
    std::string text(reinterpret_cast<char const*>(data + 2), size - 2);
    fuzz::SplitItems(&text[0], termChar, itemSize);
    return 0;
}
