#include "script/SILStrings.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "script/SILRuntime.h"
#include "script/SILVariables.h"
#include "util/Strlcpy.h"

namespace sil {

char stringPool[kStringPoolSize];
char* strPoolPtr = stringPool;
int strPoolSize = kStringPoolSize;

namespace {

char const kTooLong[] = "ERROR: String too long!";

} // namespace

long PositionInProgram(int const* object) {
    int const* program = SILRuntime.program;
    if (program == nullptr) {
        return -1;
    }
    std::uintptr_t const at = reinterpret_cast<std::uintptr_t>(object);
    std::uintptr_t const begin = reinterpret_cast<std::uintptr_t>(program);
    if (at < begin || at >= begin + std::uintptr_t{runWords} * 4) {
        return -1;
    }
    return static_cast<long>((at - begin) / 4);
}

bool StringObjectIsSound(int const* object) {
    if (object == nullptr) {
        return false;
    }
    long const position = PositionInProgram(object);
    if (position >= 0 && static_cast<unsigned long>(position) + 2 > runWords) {
        return false;
    }
    int const capacity = object[0];
    int const length = object[1];
    if (capacity < 0 || length < 0 || length > capacity) {
        return false;
    }
    return position < 0 || (static_cast<unsigned long>(capacity) + 3) / 4 <=
                               runWords - 2 - static_cast<unsigned long>(position);
}

char const* VariableNameOf(int const* object) {
    long const position = PositionInProgram(object);
    return position >= 0 ? VariableNameAt(static_cast<int>(position)) : "";
}

} // namespace sil

using namespace sil;

namespace {

// A reference as the compiler writes it: "$", a letter, the storage position
// in lower-case hexadecimal, "$". Returns its length, 0 when `text` does not
// begin with one.
std::size_t ParseReference(char const* text, std::size_t length, char* letter,
                           std::uint32_t* position) {
    if (length < 4 || text[1] == '\0' || std::strchr("xXyYzZ", text[1]) == nullptr) {
        return 0;
    }
    std::uint32_t value = 0;
    std::size_t i = 2;
    for (; i < length && i < 10; ++i) {
        char const c = text[i];
        int const digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    bool const canonical = i > 2 && (text[2] != '0' || i == 3);
    if (!canonical || i >= length || text[i] != '$') {
        return 0;
    }
    *letter = text[1];
    *position = value;
    return i + 1;
}

// Formats an int as "%ld" does.
std::size_t FormatInt(int value, char* out) {
    char digits[16];
    std::size_t n = 0;
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::size_t length = 0;
    if (value < 0) {
        out[length++] = '-';
    }
    while (n > 0) {
        out[length++] = digits[--n];
    }
    return length;
}

// Expanded text of a string variable referenced from another text.
char valueBuffer[kExpandLimit + 5];

int Expand(int const* object, char* dest, int max, bool nested);

// The current value of a referenced variable as text; nullptr when the
// reference does not name a value (it is then kept as it is).
char const* FormatValue(char letter, std::uint32_t position, char* scratch, std::size_t* length,
                        bool nested) {
    int const* program = SILRuntime.program;
    if (program == nullptr || position >= runWords) {
        return nullptr;
    }
    int const* word = program + position;
    switch (letter) {
    case 'x':
        *length = FormatInt(*word, scratch);
        return scratch;
    case 'X':
        *length = static_cast<std::size_t>(
            std::snprintf(scratch, 32, "0x%x", static_cast<unsigned>(*word)));
        return scratch;
    case 'y':
    case 'Y': {
        float value;
        std::memcpy(&value, word, sizeof value);
        *length = static_cast<std::size_t>(std::snprintf(scratch, 64, "%.2f", value));
        return scratch;
    }
    default:
        // A string variable's text is expanded once more; references inside
        // that text to further strings are kept, so expansion always ends.
        if (nested || !StringObjectIsSound(word)) {
            return nullptr;
        }
        int const expanded = Expand(word, valueBuffer, kExpandLimit, true);
        if (expanded < 0) {
            strlcpy(valueBuffer, kTooLong, sizeof valueBuffer);
        }
        *length = expanded >= 0 ? static_cast<std::size_t>(expanded) : std::strlen(valueBuffer);
        return valueBuffer;
    }
}

int Expand(int const* object, char* dest, int max, bool nested) {
    if (!StringObjectIsSound(object)) {
        SetCorrupted(object);
        return -1;
    }
    if (object[1] > max) {
        RuntimeError = kErrInputTooLong;
        strlcpy(RuntimeErrorInfo, VariableNameOf(object), sizeof RuntimeErrorInfo);
        return -1;
    }
    RuntimeError = 0;
    char const* const text = reinterpret_cast<char const*>(object + 2);
    std::size_t const length = static_cast<std::size_t>(object[1]);
    std::size_t const room = static_cast<std::size_t>(max);
    // Invariant: out + (length - i) <= room, so plain text always fits and
    // only a value longer than its reference can overflow.
    std::size_t out = 0;
    std::size_t i = 0;
    for (;;) {
        char const* dollar = static_cast<char const*>(std::memchr(text + i, '$', length - i));
        std::size_t const end =
            dollar != nullptr ? static_cast<std::size_t>(dollar - text) : length;
        std::memcpy(dest + out, text + i, end - i);
        out += end - i;
        i = end;
        if (dollar == nullptr) {
            break;
        }
        char letter = 0;
        std::uint32_t position = 0;
        char scratch[64];
        std::size_t valueLength = 0;
        std::size_t const referenceLength =
            ParseReference(text + i, length - i, &letter, &position);
        char const* value = referenceLength > 0
                                ? FormatValue(letter, position, scratch, &valueLength, nested)
                                : nullptr;
        if (value == nullptr) {
            dest[out++] = '$'; // not a reference: the dollar stays
            ++i;
            continue;
        }
        i += referenceLength;
        if (out + valueLength + (length - i) > room) {
            RuntimeError = kErrStringOverflow;
            strlcpy(RuntimeErrorInfo, VariableNameAt(static_cast<int>(position)),
                    sizeof RuntimeErrorInfo);
            strlcpy(dest, kTooLong, room + 1);
            return -1;
        }
        std::memcpy(dest + out, value, valueLength);
        out += valueLength;
    }
    dest[out] = '\0';
    return static_cast<int>(out);
}

} // namespace

int SILAssignString(char const* text, int* object) {
    if (!StringObjectIsSound(object)) {
        SetCorrupted(object);
        return RuntimeError;
    }
    if (text == nullptr) {
        text = "";
    }
    std::size_t const capacity = static_cast<std::size_t>(object[0]);
    std::size_t const length = strnlen(text, capacity + 1);
    std::size_t const copied = length < capacity ? length : capacity;
    char* const storage = reinterpret_cast<char*>(object + 2);
    std::memmove(storage, text, copied);
    std::memset(storage + copied, 0, capacity - copied);
    object[1] = static_cast<int>(copied);
    if (length > capacity) {
        RuntimeError = kErrStringOverflow;
        strlcpy(RuntimeErrorInfo, VariableNameOf(object), sizeof RuntimeErrorInfo);
    } else {
        RuntimeError = 0;
    }
    return RuntimeError;
}

int SILExpandString(int const* object, char* dest, int max) {
    if (dest == nullptr || max < 0) {
        return -1;
    }
    return Expand(object, dest, max, false);
}

int SILReplaceAll(char* text, char const* pattern, char const* replacement, int allowance) {
    if (text == nullptr || pattern == nullptr || text[0] == '\0' || pattern[0] == '\0') {
        return -1;
    }
    if (replacement == nullptr) {
        replacement = "";
    }
    std::size_t const patternLength = std::strlen(pattern);
    std::size_t const replacementLength = std::strlen(replacement);
    long const increase = static_cast<long>(replacementLength) - static_cast<long>(patternLength);
    long growth = 0;
    int count = 0;
    for (char* at = std::strstr(text, pattern); at != nullptr; at = std::strstr(at, pattern)) {
        if (increase > 0) {
            if (growth + increase > allowance) {
                return -2;
            }
            growth += increase;
        }
        std::memmove(at + replacementLength, at + patternLength,
                     std::strlen(at + patternLength) + 1);
        std::memcpy(at, replacement, replacementLength);
        at += replacementLength;
        ++count;
    }
    return count;
}

char const* SILPoolString(int const* object) {
    int const length = SILExpandString(object, strPoolPtr, strPoolSize - 1);
    if (length < 0) {
        if (RuntimeError != kErrCorruptedProgram) {
            RuntimeError = kErrPoolFull;
        }
        return kTooLong;
    }
    char* const text = strPoolPtr;
    strPoolPtr += length + 1;
    strPoolSize -= length + 1;
    return text;
}
