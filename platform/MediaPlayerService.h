#pragma once

#include <string>

#include "platform/MediaPlayerTypes.h"
#include "util/QuorExport.h"

// The kinds of request a client sends to the media player service.
enum class MediaPlayerRequestKind {
    Open,
    Play,
    Pause,
    Close,
    SeekTo,
    GetCurPos,
    GetDuration,
    EnableSubtitle,
    DisableSubtitle,
};
constexpr int kMediaPlayerRequestKinds = 9;

// "sendOpenReq", "sendPlay", ... : the client operation of a request kind.
QUOR_EXPORT char const* MediaPlayerRequestName(MediaPlayerRequestKind kind);

// One request as the service receives it. The open request's URL pointer is
// only valid during the call, so the text is kept in url.
struct MediaPlayerRequest {
    MediaPlayerRequestKind kind = MediaPlayerRequestKind::Open;
    std::string url;              // Open
    MediaPlayerOpenReq open = {}; // Open; open.url is cleared
    int seconds = 0;              // SeekTo
};

// The service behind MediaPlayerInterface. The stand-in forwards every request
// to the installed service, which answers through MediaPlayerInterface::Deliver
// from a thread of its own, as the real service does.
class QUOR_EXPORT MediaPlayerService {
public:
    virtual ~MediaPlayerService() = default;
    // Called on the client's thread; the result is what the client operation
    // returns (whether the request was sent).
    virtual bool HandleRequest(MediaPlayerRequest const& request) = 0;
};
