// The playback model the browser reads: network and ready state, the
// extrapolated position, the duration and the time ranges.
#include <glib.h>

#include <algorithm>

#include "plugin/HTML5VideoPlugin.h"
#include "plugin/PluginClock.h"
#include "plugin/PluginLog.h"

namespace {
// Ask the service again once its answer is older than this.
constexpr time_t kPositionStaleSeconds = 1;
constexpr time_t kDurationStaleSeconds = 5;
// A request unanswered for this long counts as lost.
constexpr time_t kRequestLostSeconds = 5;

// A time stamp in the log: "(seconds,nanoseconds)".
struct Stamp {
    timespec const& time;
};
std::ostream& operator<<(std::ostream& out, Stamp stamp) {
    return out << '(' << stamp.time.tv_sec << ',' << stamp.time.tv_nsec << ')';
}
} // namespace

VideoPlugin::NetworkState HTML5VideoPlugin::networkState() {
    PLUGIN_LOG << m_networkState;
    return static_cast<VideoPlugin::NetworkState>(m_networkState);
}

VideoPlugin::ReadyState HTML5VideoPlugin::readyState() {
    PLUGIN_LOG << m_readyState;
    return static_cast<VideoPlugin::ReadyState>(m_readyState);
}

float HTML5VideoPlugin::currentTime() {
    // The browser asks many times a second: one look at the log mask.
    bool const logging = PluginLogEnabled(LOG_INFO);
    if (m_mediaPlayerState != 3) {
        PLUGIN_LOG_IF(logging) << m_currentTime;
        return m_currentTime;
    }
    timespec now = PluginClockNow();
    PLUGIN_LOG_IF(logging) << "time=" << m_currentTime << ", abs=" << Stamp{m_positionTimeStamp}
                           << ", now=" << Stamp{now} << ", waiting=" << m_waitingForPosition;
    forgetLostRequest(m_waitingForPosition, m_positionRequestTimeStamp, now, __PRETTY_FUNCTION__,
                      "position");
    if (PluginClockStale(now, m_positionTimeStamp, kPositionStaleSeconds) &&
        !m_waitingForPosition) {
        requestPosition(now);
    }
    double delta = PluginClockSeconds(now, m_extrapolatedFrom);
    PLUGIN_LOG_IF(logging) << "delta=" << delta;
    float result = extrapolatedPosition(delta);
    PLUGIN_LOG_IF(logging) << result;
    return result;
}

float HTML5VideoPlugin::extrapolatedPosition(double delta) const {
    double position = static_cast<double>(m_currentTime) + std::max(delta, 0.0);
    if (m_duration > 0 && position > m_duration) {
        position = std::max(m_duration, m_currentTime);
    }
    return static_cast<float>(position);
}

void HTML5VideoPlugin::requestPosition(timespec const& now) {
    m_mediaPlayer->sendGetCurPosReq();
    m_waitingForPosition = true;
    m_positionRequestTimeStamp = now;
}

void HTML5VideoPlugin::forgetLostRequest(bool& waiting, timespec const& sentAt, timespec const& now,
                                         char const* signature, char const* request) {
    if (waiting && PluginClockStale(now, sentAt, kRequestLostSeconds)) {
        waiting = false;
        PLUGIN_LOG_AS(LOG_WARNING, signature)
            << "no answer to the " << request << " request: counted as lost";
    }
}

float HTML5VideoPlugin::duration() {
    timespec now = PluginClockNow();
    forgetLostRequest(m_waitingForDuration, m_durationRequestTimeStamp, now, __PRETTY_FUNCTION__,
                      "duration");
    if (PluginClockStale(now, m_durationTimeStamp, kDurationStaleSeconds) &&
        !m_waitingForDuration) {
        m_mediaPlayer->sendGetDurationReq();
        m_waitingForDuration = true;
        m_durationRequestTimeStamp = now;
    }
    PLUGIN_LOG << m_duration;
    return m_duration;
}

float HTML5VideoPlugin::maxTimeSeekable() {
    PLUGIN_LOG << "duration = " << m_duration;
    return m_duration;
}

VideoPlugin::TimeRanges HTML5VideoPlugin::seekable() {
    PLUGIN_LOG << "seekable=" << m_seekable << ", duration = " << m_duration;
    if (!m_seekable) {
        return {};
    }
    return {{0.0f, m_duration}};
}

VideoPlugin::TimeRanges HTML5VideoPlugin::buffered() {
    PLUGIN_LOG << "duration = " << m_duration;
    return {{0.0f, m_duration}};
}

bool HTML5VideoPlugin::updateReadyState() {
    PLUGIN_LOG << "m_readyState=" << m_readyState << ", m_mediaPlayerState=" << m_mediaPlayerState;
    // Through the table, audio first: the browser's overrides count too.
    bool audio = hasAudio();
    if (!audio && !hasVideo()) {
        return true;
    }
    auto const readyStateChanged = &VideoPlugin::BrowserInterface::readyStateChanged;
    if (m_readyState <= VideoPlugin::HaveNothing) {
        PLUGIN_LOG << "A";
        m_readyState = VideoPlugin::HaveMetadata;
        if (!notifyBrowser(readyStateChanged)) {
            return false;
        }
    }
    if (m_readyState <= VideoPlugin::HaveMetadata) {
        PLUGIN_LOG << "B1";
        if (m_mediaPlayerState > 0) {
            PLUGIN_LOG << "B2";
            m_readyState = VideoPlugin::HaveCurrentData;
            if (!notifyBrowser(readyStateChanged)) {
                return false;
            }
        }
    }
    if (m_readyState <= VideoPlugin::HaveCurrentData) {
        PLUGIN_LOG << "C1";
        if (m_mediaPlayerState > 1) {
            PLUGIN_LOG << "C2";
            m_readyState = VideoPlugin::HaveFutureData;
            if (!notifyBrowser(readyStateChanged)) {
                return false;
            }
        }
    }
    PLUGIN_LOG << "m_readyState=" << m_readyState;
    return true;
}

void HTML5VideoPlugin::startNextSecondTimer(int32_t msec) {
    PLUGIN_LOG << "this=" << static_cast<void*>(this);
    removeSource(m_sourceTagNextSecond, __PRETTY_FUNCTION__, "removing m_sourceTagNextSecond");
    m_sourceTagNextSecond =
        g_timeout_add(static_cast<guint>(msec), &HTML5VideoPlugin::callbackNextSecond, this);
}

void HTML5VideoPlugin::callbackNextSecond() {
    PLUGIN_LOG << "this=" << static_cast<void*>(this);
    notifyBrowser(&VideoPlugin::BrowserInterface::timeChanged);
}

int HTML5VideoPlugin::callbackNextSecond(void* data) {
    static_cast<HTML5VideoPlugin*>(data)->callbackNextSecond();
    return FALSE;
}
