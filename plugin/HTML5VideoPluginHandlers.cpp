// Handlers of the media player service's responses and indications. They run
// in the drain on the main thread, read the message, update the model and
// tell the browser what changed. None of them sends a request.
#include <cstring>

#include "platform/MediaPlayerTypes.h"
#include "plugin/HTML5VideoPlugin.h"
#include "plugin/PluginClock.h"
#include "plugin/PluginLog.h"

namespace {

// The status word of a failure message.
MediaPlayerStatus StatusOf(CQuorMsg const* msg) {
    return static_cast<MediaPlayerStatus>(static_cast<int32_t>(msg->m_userData));
}

// The payload of msg if it holds at least size bytes. A missing or short
// payload is a fault of the sender: logged under the handler's signature,
// and the caller ignores the message instead of reading out of bounds.
unsigned char const* PayloadOf(CQuorMsg const* msg, std::size_t size, char const* signature) {
    if (msg->m_signalPtr != nullptr && msg->m_signalSize > 0 &&
        static_cast<std::size_t>(msg->m_signalSize) >= size) {
        return static_cast<unsigned char const*>(msg->m_signalPtr);
    }
    PLUGIN_LOG_AS(LOG_WARNING, signature)
        << "payload of " << (msg->m_signalPtr != nullptr ? msg->m_signalSize : 0)
        << " bytes, expected " << size << ": message ignored";
    return nullptr;
}

// The NUL-terminated text of msg, cut at the payload's size if the sender
// left out the NUL; empty without payload.
std::string TextOf(CQuorMsg const* msg) {
    if (msg->m_signalPtr == nullptr || msg->m_signalSize <= 0) {
        return std::string();
    }
    auto const* text = static_cast<char const*>(msg->m_signalPtr);
    return std::string(text, strnlen(text, static_cast<std::size_t>(msg->m_signalSize)));
}

template <typename T> T Read(unsigned char const* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

unsigned ReadBigEndian16(unsigned char const* at) {
    return static_cast<unsigned>(at[0]) << 8 | at[1];
}

// Milliseconds until a position of positionMs reaches its next whole second:
// 1000 * (positionMs / 1000 + 1) - positionMs, taken without the product,
// which overflows for the positions a foreign payload can carry.
int32_t ToNextSecond(int64_t positionMs) {
    return static_cast<int32_t>(1000 - positionMs % 1000);
}

float SecondsOf(int64_t positionMs) {
    return static_cast<float>(static_cast<float>(positionMs) / 1000.0);
}

float DurationOf(int32_t seconds) {
    return seconds < 0 ? 0.0f : static_cast<float>(seconds);
}

} // namespace

void HTML5VideoPlugin::processMplayerOpenResp(CQuorMsg*) {
    PLUGIN_LOG;
    m_networkState = VideoPlugin::NetworkIdle;
    notifyBrowser(&VideoPlugin::BrowserInterface::networkStateChanged);
}

void HTML5VideoPlugin::processMplayerOpenFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerCloseResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerCloseFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerClosedInd(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerPlayResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerPlayFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerPauseResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerPauseFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerStopResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerStopFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerStateChangedInd(CQuorMsg* msg) {
    m_mediaPlayerState = static_cast<int32_t>(msg->m_userData);
    PLUGIN_LOG << "state=" << static_cast<MediaPlayerState>(m_mediaPlayerState);
    if (!updateReadyState()) {
        return;
    }
    if (m_mediaPlayerState == MEDIAPLAYER_STATE_PAUSED ||
        m_mediaPlayerState == MEDIAPLAYER_STATE_PLAYING) {
        notifyBrowser(&VideoPlugin::BrowserInterface::playbackStateChanged);
    }
}

void HTML5VideoPlugin::processMplayerSeekableInd(CQuorMsg*) {
    PLUGIN_LOG;
    m_seekable = true;
}

void HTML5VideoPlugin::processMplayerJumpOffResp(CQuorMsg*) {
    PLUGIN_LOG;
    m_isSeeking = false;
    notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged);
}

void HTML5VideoPlugin::processMplayerJumpOffFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
    m_isSeeking = false;
    notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged);
}

void HTML5VideoPlugin::processMplayerJumpAbsResp(CQuorMsg*) {
    PLUGIN_LOG;
    m_isSeeking = false;
    notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged);
}

void HTML5VideoPlugin::processMplayerJumpAbsFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
    m_isSeeking = false;
    notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged);
}

void HTML5VideoPlugin::processMplayerGetCurPosResp(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, sizeof(int64_t), __PRETTY_FUNCTION__);
    if (payload == nullptr) {
        // The request was answered, if badly: the next read may ask again.
        m_waitingForPosition = false;
        return;
    }
    int64_t position = Read<int64_t>(payload);
    PLUGIN_LOG << position << " msec = " << PlayTimeMilliseconds{position};
    m_waitingForPosition = false;
    float old = m_currentTime;
    m_currentTime = SecondsOf(position);
    m_positionTimeStamp = PluginClockNow();
    m_extrapolatedFrom = m_positionTimeStamp;
    if (m_currentTime != old && !notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged)) {
        return;
    }
    startNextSecondTimer(ToNextSecond(position));
}

void HTML5VideoPlugin::processMplayerGetCurPosFail(CQuorMsg* msg) {
    m_waitingForPosition = false;
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerGetDurationResp(CQuorMsg* msg) {
    auto seconds = static_cast<int32_t>(msg->m_userData);
    float old = m_duration;
    m_duration = DurationOf(seconds);
    PLUGIN_LOG << seconds << " seconds = " << PlayTime{seconds};
    m_waitingForDuration = false;
    m_durationTimeStamp = PluginClockNow();
    if (m_duration != old) {
        notifyBrowser(&VideoPlugin::BrowserInterface::durationChanged);
    }
}

void HTML5VideoPlugin::processMplayerGetDurationFail(CQuorMsg* msg) {
    m_waitingForDuration = false;
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerGetByteSizeResp(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, sizeof(int64_t), __PRETTY_FUNCTION__);
    if (payload != nullptr) {
        PLUGIN_LOG << Read<int64_t>(payload) << " byte";
    }
}

void HTML5VideoPlugin::processMplayerGetByteSizeFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerEosInd(CQuorMsg*) {
    PLUGIN_LOG;
    m_ended = true;
    m_currentTime = m_duration;
    notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged);
}

void HTML5VideoPlugin::processMplayerNewBaseTimeInd(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, 16, __PRETTY_FUNCTION__);
    if (payload == nullptr) {
        return;
    }
    int64_t position = Read<int64_t>(payload + 4);
    int32_t seconds = Read<int32_t>(payload + 12);
    float oldDuration = m_duration;
    float oldTime = m_currentTime;
    m_duration = DurationOf(seconds);
    m_currentTime = SecondsOf(position);
    m_positionTimeStamp = PluginClockNow();
    m_extrapolatedFrom = m_positionTimeStamp;
    m_durationTimeStamp = PluginClockNow();
    PLUGIN_LOG << "position = " << PlayTimeMilliseconds{position}
               << ", duration = " << PlayTime{seconds};
    if (m_duration != oldDuration &&
        !notifyBrowser(&VideoPlugin::BrowserInterface::durationChanged)) {
        return;
    }
    if (m_currentTime != oldTime && !notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged)) {
        return;
    }
    // Like after a position response: tick when the position reaches its
    // next whole second.
    startNextSecondTimer(ToNextSecond(position));
}

void HTML5VideoPlugin::processMplayerLoadingProgressInd(CQuorMsg* msg) {
    PLUGIN_LOG << "loadingProgress = " << (static_cast<unsigned long>(msg->m_userData) & 0xffu);
}

void HTML5VideoPlugin::processMplayerNumStreamsInd(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, 3, __PRETTY_FUNCTION__);
    if (payload == nullptr) {
        return;
    }
    m_numVideoStreams = payload[0];
    m_numAudioStreams = payload[1];
    m_numSubtitleStreams = payload[2];
    PLUGIN_LOG << "numVideo=" << static_cast<unsigned>(m_numVideoStreams)
               << ", numAudio=" << static_cast<unsigned>(m_numAudioStreams)
               << ", numSubtitle=" << static_cast<unsigned>(m_numSubtitleStreams);
    updateReadyState();
}

void HTML5VideoPlugin::processMplayerMediaInfoInd(CQuorMsg* msg) {
    std::string xml = TextOf(msg);
    PLUGIN_LOG << "XML:" << xml;
    m_mediaInfo.parseXML(xml);
    PLUGIN_LOG << "parsed:" << m_mediaInfo;
    updateReadyState();
}

void HTML5VideoPlugin::processMplayerVideoFormatInd(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, 18, __PRETTY_FUNCTION__);
    if (payload != nullptr) {
        PLUGIN_LOG << ReadBigEndian16(payload + 6) << "x" << ReadBigEndian16(payload + 8) << ", "
                   << ReadBigEndian16(payload + 14) << ":" << ReadBigEndian16(payload + 16);
    }
}

void HTML5VideoPlugin::processMplayerSwitchVideoResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerSwitchVideoFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerSwitchAudioResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerSwitchAudioFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerSwitchSubtitleResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerSwitchSubtitleFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerSupportedPlaySpeedInd(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, 16, __PRETTY_FUNCTION__);
    if (payload != nullptr) {
        PLUGIN_LOG << Read<double>(payload) << "..." << Read<double>(payload + 8);
    }
}

void HTML5VideoPlugin::processMplayerGetSupportedPlaySpeedResp(CQuorMsg* msg) {
    unsigned char const* payload = PayloadOf(msg, 16, __PRETTY_FUNCTION__);
    if (payload != nullptr) {
        PLUGIN_LOG << Read<double>(payload) << "..." << Read<double>(payload + 8);
    }
}

void HTML5VideoPlugin::processMplayerGetSupportedPlaySpeedFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerSetPlaySpeedResp(CQuorMsg*) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::processMplayerSetPlaySpeedFail(CQuorMsg* msg) {
    PLUGIN_LOG << StatusOf(msg);
}

void HTML5VideoPlugin::processMplayerErrorInd(CQuorMsg* msg) {
    PLUGIN_LOG << static_cast<MediaPlayerErrorId>(static_cast<int32_t>(msg->m_userData)) << ", "
               << TextOf(msg);
}
