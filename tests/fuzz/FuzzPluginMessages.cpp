// Messages of any media player id, user data and payload bytes delivered to a
// plugin, which drains them as its main loop would. The input is a sequence
// of records: id selector, user data, payload length + 1 (0: no payload at
// all), payload. Selectors beyond the media player's ids ask the plugin what
// the browser reads from it. The first byte chooses whether a clip is loaded
// and playing first.
#include <glib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/MediaPlayerInterface.h"
#include "platform/MediaPlayerMessages.h"
#include "platform/MediaPlayerService.h"
#include "plugin/HTML5VideoPlugin.h"
#include "runtime/SignalIds.h"
#include "tests/support/RecordingBrowser.h"

namespace {

// Accepts every request and answers none: only the fuzz input speaks.
class SilentService : public MediaPlayerService {
public:
    bool HandleRequest(MediaPlayerRequest const&) override { return true; }
};

// Every id of the media player's messages, handled or not.
std::vector<unsigned long> MediaPlayerIds() {
    std::vector<unsigned long> ids;
    for (unsigned long id = 0; id < SIG_ID_COUNT; ++id) {
        if (std::strncmp(GetSignalIdNamePtr(static_cast<SignalIds>(id)), "SIG_ID_MPLAYER", 14) ==
            0) {
            ids.push_back(id);
        }
    }
    return ids;
}

void AskWhatTheBrowserReads(HTML5VideoPlugin& plugin) {
    (void)plugin.currentTime();
    (void)plugin.duration();
    (void)plugin.readyState();
    (void)plugin.networkState();
    (void)plugin.paused();
    (void)plugin.seeking();
    (void)plugin.hasVideo();
    (void)plugin.hasAudio();
    (void)plugin.hasClosedCaptions();
    (void)plugin.naturalSize();
    (void)plugin.maxTimeSeekable();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    static SilentService service;
    static std::vector<unsigned long> const ids = [] {
        MediaPlayerInterface::GetInstance()->SetService(&service);
        return MediaPlayerIds();
    }();
    if (size == 0) {
        return 0;
    }
    RecordingBrowser browser; // records into a list the input's run throws away
    auto plugin = std::make_unique<HTML5VideoPlugin>(&browser);
    if ((data[0] & 1) != 0) {
        plugin->load("http://media.example/clip.mp4");
        plugin->play();
    }
    std::size_t at = 1;
    while (at + 3 <= size) {
        std::size_t const selector = data[at];
        auto const userData = static_cast<std::int8_t>(data[at + 1]);
        std::size_t const length = data[at + 2];
        at += 3;
        if (selector >= ids.size()) {
            AskWhatTheBrowserReads(*plugin);
            continue;
        }
        CQuorMsg msg(ids[selector]);
        msg.m_userData = userData;
        msg.m_responseInfo = userData;
        if (length > 0) {
            std::size_t const bytes = std::min(length - 1, size - at);
            MediaPlayerMessages::SetPayload(msg, data + at, bytes);
            at += bytes;
        }
        plugin->ProcessQuorMsg(&msg); // takes the payload
        plugin->ProcessQuorMsg();
    }
    plugin.reset();
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    return 0;
}
