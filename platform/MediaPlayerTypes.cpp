#include "platform/MediaPlayerTypes.h"

#include <cstdio>

namespace {

template <std::size_t N>
std::ostream& Named(std::ostream& out, char const* const (&names)[N], int32_t value) {
    bool known = value >= 0 && static_cast<std::size_t>(value) < N;
    return out << (known ? names[value] : "UNKNOWN") << '(' << value << ')';
}

// Writes h:mm:ss and, with withMillis, .mmm.
std::ostream& Clock(std::ostream& out, int64_t milliseconds, bool withMillis) {
    // Unsigned, so that the smallest 64-bit value has a magnitude too.
    uint64_t magnitude = milliseconds < 0 ? 0 - static_cast<uint64_t>(milliseconds)
                                          : static_cast<uint64_t>(milliseconds);
    char text[48];
    uint64_t seconds = magnitude / 1000;
    int n = std::snprintf(text, sizeof text, "%s%llu:%02u:%02u", milliseconds < 0 ? "-" : "",
                          static_cast<unsigned long long>(seconds / 3600),
                          static_cast<unsigned>(seconds / 60 % 60),
                          static_cast<unsigned>(seconds % 60));
    if (withMillis && n > 0 && static_cast<size_t>(n) < sizeof text) {
        std::snprintf(text + n, sizeof text - static_cast<size_t>(n), ".%03u",
                      static_cast<unsigned>(magnitude % 1000));
    }
    return out << text;
}

} // namespace

std::ostream& operator<<(std::ostream& out, MediaPlayerStatus status) {
    static char const* const names[] = {
        "OK", "ERROR", "INVALID_STATE", "NOT_SUPPORTED", "NOT_FOUND", "NETWORK_ERROR", "TIMEOUT"};
    return Named(out, names, status);
}

std::ostream& operator<<(std::ostream& out, MediaPlayerState state) {
    static char const* const names[] = {"IDLE", "STOPPED", "PAUSED", "PLAYING"};
    return Named(out, names, state);
}

std::ostream& operator<<(std::ostream& out, MediaPlayerErrorId error) {
    static char const* const names[] = {"NONE", "OPEN", "NETWORK", "DECODER", "FORMAT"};
    return Named(out, names, error);
}

std::ostream& operator<<(std::ostream& out, PlayTime time) {
    return Clock(out, static_cast<int64_t>(time.seconds) * 1000, false);
}

std::ostream& operator<<(std::ostream& out, PlayTimeMilliseconds time) {
    return Clock(out, time.milliseconds, true);
}
