#include "debug/TraceLineFormat.h"

#include <pthread.h>

#include <cstdio>
#include <cstring>

#include "debug/QuorTraceModes.h"
#include "debug/TraceLevelAttributes.h"
#include "debug/TraceTimestamp.h"
#include "util/Strlcpy.h"

namespace {

// A queued message ends at this index at the latest, so that a cut line can
// still take its reset.
constexpr std::size_t queuedMessageEnd = traceLineSize - 5;

// Appends text to the string of length len in a buffer of size characters, as
// far as it fits; the length is known, so unlike strlcat nothing is rescanned.
std::size_t AppendBounded(char* buffer, std::size_t len, std::size_t size, char const* text) {
    if (len + 1 >= size) {
        return len;
    }
    std::size_t const textLen = std::strlen(text);
    std::size_t const copied = textLen < size - 1 - len ? textLen : size - 1 - len;
    std::memcpy(buffer + len, text, copied);
    buffer[len + copied] = '\0';
    return len + copied;
}

// "[nnnnn] xxxxxxxx ": sequence number, thread id and their blanks.
constexpr std::size_t headerFixedLength = 17;
// The header follows at most a timestamp, so its fixed part always fits.
static_assert(traceLineSize - traceTimestampSize > headerFixedLength, "header room");

// Writes "[%05u] %08x %s%s" by hand: every trace line pays for it. out has
// room for more than the fixed part.
std::size_t FormatHeader(char* out, std::size_t room, unsigned short sequenceNumber,
                         char const* colour) {
    out[0] = '[';
    unsigned number = sequenceNumber;
    for (int i = 5; i >= 1; --i) {
        out[i] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    out[6] = ']';
    out[7] = ' ';
    static char const hexDigits[] = "0123456789abcdef";
    auto const threadId = static_cast<unsigned>(pthread_self());
    for (int i = 0; i < 8; ++i) {
        out[8 + i] = hexDigits[(threadId >> (28 - 4 * i)) & 0xfu];
    }
    out[16] = ' ';
    out[headerFixedLength] = '\0';
    std::size_t const len =
        AppendBounded(out, headerFixedLength, room, quorTraceProcessPrefix.Get());
    return colour != nullptr ? AppendBounded(out, len, room, colour) : len;
}

// Appends the message with vsnprintf into room characters; returns the new
// length and whether the message was cut.
std::size_t AppendMessage(char* text, std::size_t len, std::size_t room, char const* format,
                          va_list args, bool& cut) {
    int const written = std::vsnprintf(text + len, room, format, args);
    if (written < 0) {
        text[len] = '\0';
        cut = false;
        return len;
    }
    cut = static_cast<std::size_t>(written) >= room;
    return cut ? len + room - 1 : len + static_cast<std::size_t>(written);
}

} // namespace

void FormatQueuedTraceLine(char* text, bool withTimestamp, unsigned short sequenceNumber,
                           char const* colour, char const* format, va_list args) {
    std::size_t len = withTimestamp ? static_cast<std::size_t>(FormatTraceTimestamp(text)) : 0;
    len += FormatHeader(text + len, traceLineSize - len, sequenceNumber, colour);
    bool cut = false;
    len = AppendMessage(text, len, queuedMessageEnd - len, format, args, cut);
    if (cut && len > 0) {
        text[len - 1] = '\n';
    }
    // The reset takes what is left of the first 1999 characters.
    if (colour != nullptr) {
        strlcat(text, traceColorReset, traceLineSize - 1);
    }
    text[traceLineSize - 1] = '\0';
}

std::size_t FormatDirectTraceLine(char* line, bool withTimestamp, unsigned short sequenceNumber,
                                  char const* colour, char const* format, va_list args) {
    std::size_t len = withTimestamp ? static_cast<std::size_t>(FormatTraceTimestamp(line)) : 0;
    std::size_t const headerEnd =
        len + FormatHeader(line + len, traceLineSize - len, sequenceNumber, colour);
    line[traceLineSize - 1] = '\0';
    bool cut = false;
    AppendMessage(line, headerEnd, traceLineSize - 1 - headerEnd, format, args, cut);
    line[traceLineSize - 1] = '\0';
    // The line ends at its first NUL, which a message may bring itself ("%c"
    // of 0): only the message is measured, the header's length is known.
    len = headerEnd + std::strlen(line + headerEnd);
    return colour != nullptr ? AppendBounded(line, len, traceLineSize, traceColorReset) : len;
}
