#include "platform/SimulatedClip.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool ReadInt(std::string const& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool IsFailStep(std::string const& step) {
    for (char const* known :
         {"open", "play", "pause", "seek", "position", "duration", "playback"}) {
        if (step == known) {
            return true;
        }
    }
    return false;
}

bool Apply(SimulatedClip& clip, std::string const& key, std::string const& value) {
    if (key == "duration") {
        return ReadInt(value, 1, 86400, clip.durationSeconds);
    }
    if (key == "video") {
        return ReadInt(value, 0, 8, clip.videoStreams);
    }
    if (key == "audio") {
        return ReadInt(value, 0, 8, clip.audioStreams);
    }
    if (key == "subtitles") {
        return ReadInt(value, 0, 8, clip.subtitleStreams);
    }
    if (key == "size") {
        auto x = value.find('x');
        return x != std::string::npos && ReadInt(value.substr(0, x), 16, 8192, clip.width) &&
               ReadInt(value.substr(x + 1), 16, 8192, clip.height);
    }
    if (key == "fail") {
        clip.fail = value;
        return IsFailStep(value);
    }
    return true;
}

} // namespace

bool SimulatedClip::FromUrl(std::string const& url, SimulatedClip& clip, std::string& error) {
    clip = SimulatedClip();
    auto query = url.find('?');
    if (query == std::string::npos) {
        return true;
    }
    auto end = url.find('#', query);
    std::string params = url.substr(query + 1, end == std::string::npos ? end : end - query - 1);
    std::string::size_type start = 0;
    while (start <= params.size()) {
        auto amp = params.find('&', start);
        std::string param = params.substr(start, amp == std::string::npos ? amp : amp - start);
        start = amp == std::string::npos ? params.size() + 1 : amp + 1;
        if (param.empty()) {
            continue;
        }
        auto eq = param.find('=');
        std::string key = param.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : param.substr(eq + 1);
        if (!Apply(clip, key, value)) {
            error = "bad URL parameter " + param;
            return false;
        }
    }
    return true;
}
