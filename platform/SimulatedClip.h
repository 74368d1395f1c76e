#pragma once

#include <string>

#include "util/QuorExport.h"

// The clip the simulated media player plays, chosen by the query parameters
// of the URL it is asked to open:
//   duration=<s>       length in whole seconds, 1 to 86400 (default 10)
//   video=<n>          video streams, 0 to 8 (default 1)
//   audio=<n>          audio streams, 0 to 8 (default 1)
//   subtitles=<n>      subtitle streams, 0 to 8 (default 0)
//   size=<w>x<h>       video size, 16 to 8192 each (default 1280x720)
//   fail=<step>        the step that fails: open, play, pause, seek, position,
//                      duration, or playback (an error at half the duration)
// Other parameters are ignored.
struct QUOR_EXPORT SimulatedClip {
    int durationSeconds = 10;
    int videoStreams = 1;
    int audioStreams = 1;
    int subtitleStreams = 0;
    int width = 1280;
    int height = 720;
    std::string fail; // empty: nothing fails

    // The clip of url. On a malformed parameter returns false and says why
    // in error; clip then holds the defaults and what was read before.
    static bool FromUrl(std::string const& url, SimulatedClip& clip, std::string& error);
};
