// The browser's operations on the plugin: loading, playback control,
// recorded settings, stream queries, painting and the fixed answers.
#include <algorithm>
#include <climits>

#include "platform/HbbVideoProperties.h"
#include "plugin/HTML5VideoPlugin.h"
#include "plugin/PluginClock.h"
#include "plugin/PluginLog.h"

namespace {

char const* PreloadName(int32_t preload) {
    switch (preload) {
    case VideoPlugin::PreloadNone:
        return "None";
    case VideoPlugin::PreloadMetaData:
        return "MetaData";
    case VideoPlugin::PreloadAuto:
        return "Auto";
    default:
        return "unknown";
    }
}

// The bufferSizeKb the service expects of a browser client.
constexpr int32_t kOpenBufferSizeKb = 256;

// Whole seconds of time, truncated toward zero; out-of-range and NaN times
// are clamped instead of being undefined.
int WholeSeconds(float time) {
    if (!(time > static_cast<float>(INT_MIN))) {
        return time != time ? 0 : INT_MIN;
    }
    if (!(time < static_cast<float>(INT_MAX))) {
        return INT_MAX;
    }
    return static_cast<int>(time);
}

} // namespace

void HTML5VideoPlugin::load(std::string url) {
    m_url = url;
    PLUGIN_LOG << url;
    MediaPlayerOpenReq request = {};
    request.url = url.c_str();
    request.startPosition = 0;
    request.drmType = 0;
    request.bufferSizeKb = kOpenBufferSizeKb;
    request.isLive = 0;
    request.loop = 0;
    request.windowId = 0;
    bool sent = m_mediaPlayer->sendOpenReq(request);
    PLUGIN_LOG << "load"
               << ": sendOpenReq returned " << sent;
}

void HTML5VideoPlugin::cancelLoad() {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::prepareToPlay() {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::play() {
    PLUGIN_LOG;
    m_mediaPlayer->sendPlay();
    m_positionTimeStamp = PluginClockNow();
    m_extrapolatedFrom = m_positionTimeStamp;
    requestPosition(m_positionTimeStamp);
}

void HTML5VideoPlugin::pause() {
    PLUGIN_LOG;
    m_mediaPlayer->sendPause();
    if (m_mediaPlayerState == 3) {
        timespec const now = PluginClockNow();
        double delta = PluginClockSeconds(now, m_extrapolatedFrom);
        PLUGIN_LOG << "delta=" << delta;
        m_currentTime = extrapolatedPosition(delta);
        // The position holds the time up to now: a second pause before the
        // player's answer adds nothing twice. m_positionTimeStamp stays the
        // stamp of the service's last answer, which decides when to ask again.
        m_extrapolatedFrom = now;
    }
}

bool HTML5VideoPlugin::supportsFullscreen() {
    PLUGIN_LOG;
    return false;
}

bool HTML5VideoPlugin::supportsSave() {
    PLUGIN_LOG;
    return false;
}

bool HTML5VideoPlugin::supportsScanning() {
    PLUGIN_LOG;
    return false;
}

VideoPlugin::Size HTML5VideoPlugin::naturalSize() {
    PLUGIN_LOG << m_size.width << "x" << m_size.height;
    return m_size;
}

bool HTML5VideoPlugin::hasVideo() {
    unsigned count = std::max<unsigned>(m_numVideoStreams, m_mediaInfo.videoStreams().size());
    bool result = count > 0;
    PLUGIN_LOG << "numVideoStreams=" << count << ", res=" << result;
    return result;
}

bool HTML5VideoPlugin::hasAudio() {
    PLUGIN_LOG;
    unsigned count = std::max<unsigned>(m_numAudioStreams, m_mediaInfo.audioStreams().size());
    bool result = count > 0;
    PLUGIN_LOG << "numAudioStreams=" << count << ", res=" << result;
    return result;
}

void HTML5VideoPlugin::setVisible(bool visible) {
    PLUGIN_LOG << visible;
}

void HTML5VideoPlugin::seek(float time) {
    PLUGIN_LOG << "to " << time << ", isSeeking=" << m_isSeeking;
    if (m_isSeeking) {
        forgetLostRequest(m_isSeeking, m_seekRequestTimeStamp, PluginClockNow(),
                          __PRETTY_FUNCTION__, "jump");
    }
    if (m_isSeeking) {
        return; // one seek at a time; the service answers the first
    }
    m_mediaPlayer->seekTo(WholeSeconds(time));
    m_isSeeking = true;
    m_seekRequestTimeStamp = PluginClockNow();
}

bool HTML5VideoPlugin::seeking() {
    if (m_isSeeking) {
        forgetLostRequest(m_isSeeking, m_seekRequestTimeStamp, PluginClockNow(),
                          __PRETTY_FUNCTION__, "jump");
    }
    PLUGIN_LOG << "isSeeking=" << m_isSeeking;
    return m_isSeeking;
}

float HTML5VideoPlugin::startTime() {
    PLUGIN_LOG;
    return 0.0f;
}

double HTML5VideoPlugin::initialTime() {
    PLUGIN_LOG;
    return 0.0;
}

void HTML5VideoPlugin::setRate(float rate) {
    PLUGIN_LOG << rate;
    m_rate = rate;
}

void HTML5VideoPlugin::setPreservesPitch(bool preservesPitch) {
    PLUGIN_LOG << preservesPitch;
    m_preservesPitch = preservesPitch;
}

bool HTML5VideoPlugin::paused() {
    bool result = m_mediaPlayerState == 2;
    PLUGIN_LOG << "m_mediaPlayerState=" << m_mediaPlayerState << ", res=" << result;
    return result;
}

void HTML5VideoPlugin::setVolume(float volume) {
    PLUGIN_LOG << "volume=" << volume;
}

bool HTML5VideoPlugin::supportsMuting() {
    PLUGIN_LOG;
    return false;
}

void HTML5VideoPlugin::setMuted(bool muted) {
    PLUGIN_LOG << muted;
}

bool HTML5VideoPlugin::hasClosedCaptions() {
    unsigned count = std::max<unsigned>(m_numSubtitleStreams, m_mediaInfo.subtitleStreams().size());
    bool result = count > 0;
    PLUGIN_LOG << "numSubtitleStreams=" << count << ", res=" << result;
    return result;
}

void HTML5VideoPlugin::setClosedCaptionsVisible(bool visible) {
    PLUGIN_LOG << visible;
    if (visible) {
        m_mediaPlayer->sendEnableSubtitleReq();
    } else {
        m_mediaPlayer->sendDisableSubtitleReq();
    }
}

bool HTML5VideoPlugin::didLoadingProgress() {
    bool result = true;
    PLUGIN_LOG << result;
    return result;
}

void HTML5VideoPlugin::setSize(VideoPlugin::Size const& size) {
    m_size = size;
    PLUGIN_LOG << size.width << "x" << size.height;
}

void HTML5VideoPlugin::paint(VideoPlugin::GraphicsContext* context,
                             VideoPlugin::Rectangle const& rect) {
    PLUGIN_LOG << "opaque: " << static_cast<void*>(context) << ", rect: (" << rect.width << "x"
               << rect.height << ") at (" << rect.x << "," << rect.y << ")";
    bool visible = m_browser->isVisible();
    PLUGIN_LOG << "visible=" << visible;
    m_browser->paintVideoArea(context, rect);
    // The video plane takes the rectangle as y, x, width, height.
    hbbSetVideoProperties_RPC(rect.y, rect.x, rect.width, rect.height);
}

void HTML5VideoPlugin::setPreload(VideoPlugin::Preload preload) {
    PLUGIN_LOG << PreloadName(preload);
    m_preload = preload;
}

bool HTML5VideoPlugin::hasAvailableVideoFrame() {
    bool result = m_mediaPlayerState > 1;
    PLUGIN_LOG << "m_mediaPlayerState=" << m_mediaPlayerState << ", res=" << result;
    return result;
}

bool HTML5VideoPlugin::canLoadPoster() {
    bool result = false;
    PLUGIN_LOG << result;
    return result;
}

void HTML5VideoPlugin::setPoster(std::string const& poster) {
    m_poster = poster;
    PLUGIN_LOG << poster;
}

void HTML5VideoPlugin::setControls(bool controls) {
    PLUGIN_LOG << controls;
}

void HTML5VideoPlugin::enterFullscreen() {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::exitFullscreen() {
    PLUGIN_LOG;
}

bool HTML5VideoPlugin::canEnterFullscreen() {
    PLUGIN_LOG;
    return false;
}

bool HTML5VideoPlugin::supportsAcceleratedRendering() {
    PLUGIN_LOG;
    return false;
}

void HTML5VideoPlugin::acceleratedRenderingStateChanged() {
    PLUGIN_LOG;
}

bool HTML5VideoPlugin::hasSingleSecurityOrigin() {
    PLUGIN_LOG;
    return false;
}

bool HTML5VideoPlugin::didPassCORSAccessCheck() {
    PLUGIN_LOG;
    return false;
}

VideoPlugin::MovieLoadType HTML5VideoPlugin::movieLoadType() {
    PLUGIN_LOG;
    return VideoPlugin::MovieLoadUnknown;
}

void HTML5VideoPlugin::prepareForRendering() {
    PLUGIN_LOG;
}

float HTML5VideoPlugin::mediaTimeForTimeValue(float timeValue) {
    PLUGIN_LOG;
    return timeValue;
}

double HTML5VideoPlugin::maximumDurationToCacheMediaTime() {
    PLUGIN_LOG;
    return 5.0;
}

unsigned HTML5VideoPlugin::decodedFrameCount() {
    PLUGIN_LOG;
    return 0;
}

unsigned HTML5VideoPlugin::droppedFrameCount() {
    PLUGIN_LOG;
    return 0;
}

unsigned HTML5VideoPlugin::audioDecodedByteCount() {
    PLUGIN_LOG;
    return 0;
}

unsigned HTML5VideoPlugin::videoDecodedByteCount() {
    PLUGIN_LOG;
    return 0;
}

void HTML5VideoPlugin::getSitesInMediaCache(std::vector<std::string>&) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::clearMediaCache() {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::clearMediaCacheForSite(std::string const&) {
    PLUGIN_LOG;
}

void HTML5VideoPlugin::setPrivateBrowsingMode(bool privateMode) {
    PLUGIN_LOG << privateMode;
}

std::string HTML5VideoPlugin::engineDescription() {
    PLUGIN_LOG;
    return std::string();
}

VideoPlugin::AddIdStatus HTML5VideoPlugin::sourceAddId(std::string const&, std::string const&,
                                                       std::vector<std::string> const&) {
    PLUGIN_LOG;
    return VideoPlugin::AddIdNotSupported;
}

VideoPlugin::TimeRanges HTML5VideoPlugin::sourceBuffered(std::string const&) {
    PLUGIN_LOG;
    return VideoPlugin::TimeRanges();
}

bool HTML5VideoPlugin::sourceRemoveId(std::string const&) {
    PLUGIN_LOG;
    return false;
}

bool HTML5VideoPlugin::sourceAppend(std::string const&, unsigned char const*, unsigned) {
    PLUGIN_LOG;
    return false;
}

bool HTML5VideoPlugin::sourceAbort(std::string const&) {
    PLUGIN_LOG;
    return false;
}

void HTML5VideoPlugin::sourceEndOfStream(VideoPlugin::EndOfStreamStatus status) {
    PLUGIN_LOG << static_cast<int32_t>(status);
}

bool HTML5VideoPlugin::sourceSetTimestampOffset(std::string const&, double) {
    PLUGIN_LOG;
    return false;
}

VideoPlugin::MediaKeyException HTML5VideoPlugin::addKey(std::string const&, unsigned char const*,
                                                        unsigned, unsigned char const*, unsigned,
                                                        std::string const&) {
    PLUGIN_LOG;
    return VideoPlugin::MediaKeyKeySystemNotSupported;
}

VideoPlugin::MediaKeyException
HTML5VideoPlugin::generateKeyRequest(std::string const&, unsigned char const*, unsigned) {
    PLUGIN_LOG;
    return VideoPlugin::MediaKeyKeySystemNotSupported;
}

VideoPlugin::MediaKeyException HTML5VideoPlugin::cancelKeyRequest(std::string const&,
                                                                  std::string const&) {
    PLUGIN_LOG;
    return VideoPlugin::MediaKeyKeySystemNotSupported;
}
