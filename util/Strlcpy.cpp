#include "util/Strlcpy.h"

#include <string.h>

#include <cstring>

std::size_t strlcpy(char* dst, char const* src, std::size_t size) noexcept {
    std::size_t const sourceLength = std::strlen(src);
    if (size != 0) {
        std::size_t const copied = sourceLength < size ? sourceLength : size - 1;
        std::memmove(dst, src, copied);
        dst[copied] = '\0';
    }
    return sourceLength;
}

std::size_t strlcat(char* dst, char const* src, std::size_t size) noexcept {
    if (size == 0) {
        return std::strlen(src);
    }
    // The text already in dst counts only as far as its terminator lies
    // within size; without one there is no room to append anything.
    std::size_t const used = strnlen(dst, size);
    if (used == size) {
        return size + std::strlen(src);
    }
    return used + strlcpy(dst + used, src, size - used);
}
