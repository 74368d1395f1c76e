#pragma once

#include <cstdint>
#include <ostream>

#include "util/QuorExport.h"

// Value types of the media player service, as its messages carry them.

// Result of a failed request, carried in the failure message's m_userData.
enum MediaPlayerStatus : int32_t {
    MEDIAPLAYER_STATUS_OK = 0,
    MEDIAPLAYER_STATUS_ERROR = 1,
    MEDIAPLAYER_STATUS_INVALID_STATE = 2,
    MEDIAPLAYER_STATUS_NOT_SUPPORTED = 3,
    MEDIAPLAYER_STATUS_NOT_FOUND = 4,
    MEDIAPLAYER_STATUS_NETWORK_ERROR = 5,
    MEDIAPLAYER_STATUS_TIMEOUT = 6,
};

// The player's state, carried by the state-changed indication.
enum MediaPlayerState : int32_t {
    MEDIAPLAYER_STATE_IDLE = 0,
    MEDIAPLAYER_STATE_STOPPED = 1,
    MEDIAPLAYER_STATE_PAUSED = 2,
    MEDIAPLAYER_STATE_PLAYING = 3,
};

// Error of an error indication.
enum MediaPlayerErrorId : int32_t {
    MEDIAPLAYER_ERROR_NONE = 0,
    MEDIAPLAYER_ERROR_OPEN = 1,
    MEDIAPLAYER_ERROR_NETWORK = 2,
    MEDIAPLAYER_ERROR_DECODER = 3,
    MEDIAPLAYER_ERROR_FORMAT = 4,
};

// A time in whole seconds.
struct PlayTime {
    int32_t seconds;
};

// A time in milliseconds.
struct PlayTimeMilliseconds {
    int64_t milliseconds;
};

// The open request. The URL is only read during sendOpenReq.
struct MediaPlayerOpenReq {
    char const* url;
    int32_t startPosition; // seconds
    int32_t drmType;       // 0: none
    int32_t bufferSizeKb;
    uint8_t isLive;
    uint8_t loop;
    int32_t windowId; // 0: the main video plane
};

// "OK(0)", "NOT_FOUND(4)", an unknown value as "UNKNOWN(<n>)".
QUOR_EXPORT std::ostream& operator<<(std::ostream& out, MediaPlayerStatus status);
// "PLAYING(3)" and so on.
QUOR_EXPORT std::ostream& operator<<(std::ostream& out, MediaPlayerState state);
// "DECODER(3)" and so on.
QUOR_EXPORT std::ostream& operator<<(std::ostream& out, MediaPlayerErrorId error);
// h:mm:ss, with a sign for negative times.
QUOR_EXPORT std::ostream& operator<<(std::ostream& out, PlayTime time);
// h:mm:ss.mmm, with a sign for negative times.
QUOR_EXPORT std::ostream& operator<<(std::ostream& out, PlayTimeMilliseconds time);
