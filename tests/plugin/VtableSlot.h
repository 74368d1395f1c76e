#pragma once

#include <cstddef>
#include <cstring>

// The slot of a virtual member function in its class's table, read from a
// pointer to it (Itanium C++ ABI); -1 for a function that is not virtual.
template <typename MemberFunction> std::ptrdiff_t SlotOf(MemberFunction function) {
    static_assert(sizeof(MemberFunction) == 2 * sizeof(std::ptrdiff_t),
                  "an Itanium pointer to member function is two words");
    std::ptrdiff_t words[2];
    std::memcpy(words, &function, sizeof words);
#if defined(__arm__) || defined(__aarch64__)
    // ARM keeps the virtual flag in the adjustment word; the offset is plain.
    if ((words[1] & 1) == 0) {
        return -1;
    }
    return words[0] / static_cast<std::ptrdiff_t>(sizeof(void*));
#else
    // Elsewhere a virtual function is 1 + its byte offset in the table.
    if ((words[0] & 1) == 0) {
        return -1;
    }
    return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
#endif
}
