#include "platform/SimulatedMediaPlayerService.h"

#include <sstream>

#include "platform/MediaPlayerInterface.h"
#include "platform/MediaPlayerTypes.h"
#include "runtime/SignalIds.h"

using namespace MediaPlayerMessages;

SimulatedMediaPlayerService& SimulatedMediaPlayerService::Default() {
    static SimulatedMediaPlayerService service;
    return service;
}

SimulatedMediaPlayerService::SimulatedMediaPlayerService() : m_thread([this] { Tick(); }) {}

bool SimulatedMediaPlayerService::HandleRequest(MediaPlayerRequest const& request) {
    {
        std::lock_guard<std::mutex> lock(m_statsMutex);
        ++m_requestCounts[static_cast<std::size_t>(request.kind)];
    }
    if (request.kind == MediaPlayerRequestKind::Open && request.url.empty()) {
        return false;
    }
    m_thread.Post([this, request] { Answer(request); });
    return true;
}

std::array<int, kMediaPlayerRequestKinds> SimulatedMediaPlayerService::RequestCounts() const {
    std::lock_guard<std::mutex> lock(m_statsMutex);
    return m_requestCounts;
}

std::vector<std::string> SimulatedMediaPlayerService::Failures() const {
    std::lock_guard<std::mutex> lock(m_statsMutex);
    return m_failures;
}

void SimulatedMediaPlayerService::Answer(MediaPlayerRequest const& request) {
    switch (request.kind) {
    case MediaPlayerRequestKind::Open:
        Open(request.url);
        break;
    case MediaPlayerRequestKind::Play:
        Play();
        break;
    case MediaPlayerRequestKind::Pause:
        Pause();
        break;
    case MediaPlayerRequestKind::Close:
        Close();
        break;
    case MediaPlayerRequestKind::SeekTo:
        Seek(request.seconds);
        break;
    case MediaPlayerRequestKind::GetCurPos:
        if (!m_open || m_clip.fail == "position") {
            Fail(SIG_ID_MPLAYER_GET_CUR_POS_FAIL,
                 m_open ? MEDIAPLAYER_STATUS_ERROR : MEDIAPLAYER_STATUS_INVALID_STATE,
                 "position request failed");
        } else {
            auto msg = Make(SIG_ID_MPLAYER_GET_CUR_POS_RESP);
            SetPosition(*msg, PositionMs());
            Send(msg);
        }
        break;
    case MediaPlayerRequestKind::GetDuration:
        if (!m_open || m_clip.fail == "duration") {
            Fail(SIG_ID_MPLAYER_GET_DURATION_FAIL,
                 m_open ? MEDIAPLAYER_STATUS_ERROR : MEDIAPLAYER_STATUS_INVALID_STATE,
                 "duration request failed");
        } else {
            Send(SIG_ID_MPLAYER_GET_DURATION_RESP, m_clip.durationSeconds);
        }
        break;
    case MediaPlayerRequestKind::EnableSubtitle:
        Send(SIG_ID_MPLAYER_ENABLE_SUBTITLE_RESP);
        break;
    case MediaPlayerRequestKind::DisableSubtitle:
        Send(SIG_ID_MPLAYER_DISABLE_SUBTITLE_RESP);
        break;
    }
}

void SimulatedMediaPlayerService::Open(std::string const& url) {
    StopClock();
    m_open = false;
    m_ended = false;
    m_errorSent = false;
    m_baseMs = 0;
    std::string error;
    if (!SimulatedClip::FromUrl(url, m_clip, error)) {
        Fail(SIG_ID_MPLAYER_OPEN_FAIL, MEDIAPLAYER_STATUS_NOT_SUPPORTED, error);
        ErrorIndication(MEDIAPLAYER_ERROR_FORMAT, error);
        return;
    }
    if (m_clip.fail == "open") {
        Fail(SIG_ID_MPLAYER_OPEN_FAIL, MEDIAPLAYER_STATUS_NOT_FOUND, "cannot open " + url);
        ErrorIndication(MEDIAPLAYER_ERROR_OPEN, "cannot open " + url);
        return;
    }
    m_open = true;
    Send(SIG_ID_MPLAYER_OPEN_RESP);
    Send(SIG_ID_MPLAYER_LOADING_PROGRESS_IND, 100);

    auto streams = Make(SIG_ID_MPLAYER_NUM_STREAMS_IND);
    SetStreamCounts(*streams, static_cast<uint8_t>(m_clip.videoStreams),
                    static_cast<uint8_t>(m_clip.audioStreams),
                    static_cast<uint8_t>(m_clip.subtitleStreams));
    Send(streams);

    std::ostringstream xml;
    xml << "<mediainfo>";
    for (int i = 0; i < m_clip.videoStreams; ++i) {
        xml << "<video codec=\"avc1.640028\" width=\"" << m_clip.width << "\" height=\""
            << m_clip.height << "\"/>";
    }
    for (int i = 0; i < m_clip.audioStreams; ++i) {
        xml << "<audio codec=\"mp4a.40.2\" language=\"" << (i == 0 ? "en" : "de")
            << "\" channels=\"2\"/>";
    }
    for (int i = 0; i < m_clip.subtitleStreams; ++i) {
        xml << "<subtitle language=\"" << (i == 0 ? "en" : "de") << "\"/>";
    }
    xml << "</mediainfo>";
    auto info = Make(SIG_ID_MPLAYER_MEDIA_INFO_IND);
    SetText(*info, xml.str());
    Send(info);

    if (m_clip.videoStreams > 0) {
        auto format = Make(SIG_ID_MPLAYER_VIDEO_FORMAT_IND);
        SetVideoFormat(*format, static_cast<uint16_t>(m_clip.width),
                       static_cast<uint16_t>(m_clip.height), 16, 9);
        Send(format);
    }
    auto speeds = Make(SIG_ID_MPLAYER_SUPPORTED_PLAY_SPEED_IND);
    SetPlaySpeeds(*speeds, -8.0, 8.0);
    Send(speeds);
    Send(SIG_ID_MPLAYER_SEEKABLE_IND);
    SendTimeBase();
    Send(SIG_ID_MPLAYER_STATE_CHANGED_IND, MEDIAPLAYER_STATE_STOPPED);
    Send(SIG_ID_MPLAYER_STATE_CHANGED_IND, MEDIAPLAYER_STATE_PAUSED);
}

void SimulatedMediaPlayerService::Play() {
    if (!m_open || m_clip.fail == "play") {
        Fail(SIG_ID_MPLAYER_PLAY_FAIL,
             m_open ? MEDIAPLAYER_STATUS_ERROR : MEDIAPLAYER_STATUS_INVALID_STATE,
             "play request failed");
        return;
    }
    if (m_ended) {
        m_baseMs = 0; // playing again after the end starts from the beginning
        m_ended = false;
    }
    Send(SIG_ID_MPLAYER_PLAY_RESP);
    if (!m_playing) {
        m_playing = true;
        m_startedAt = Clock::now();
        m_thread.SetTicking(true);
    }
    Send(SIG_ID_MPLAYER_STATE_CHANGED_IND, MEDIAPLAYER_STATE_PLAYING);
    SendTimeBase();
}

void SimulatedMediaPlayerService::Pause() {
    if (!m_open || m_clip.fail == "pause") {
        Fail(SIG_ID_MPLAYER_PAUSE_FAIL,
             m_open ? MEDIAPLAYER_STATUS_ERROR : MEDIAPLAYER_STATUS_INVALID_STATE,
             "pause request failed");
        return;
    }
    StopClock();
    Send(SIG_ID_MPLAYER_PAUSE_RESP);
    Send(SIG_ID_MPLAYER_STATE_CHANGED_IND, MEDIAPLAYER_STATE_PAUSED);
}

void SimulatedMediaPlayerService::Seek(int seconds) {
    if (!m_open || m_clip.fail == "seek") {
        Fail(SIG_ID_MPLAYER_JUMP_ABS_FAIL,
             m_open ? MEDIAPLAYER_STATUS_ERROR : MEDIAPLAYER_STATUS_INVALID_STATE,
             "seek request failed");
        return;
    }
    int64_t target = static_cast<int64_t>(seconds) * 1000;
    int64_t end = static_cast<int64_t>(m_clip.durationSeconds) * 1000;
    m_baseMs = target < 0 ? 0 : (target > end ? end : target);
    m_startedAt = Clock::now();
    m_ended = false;
    // The new time base first, so that the answer finds the new position.
    SendTimeBase();
    Send(SIG_ID_MPLAYER_JUMP_ABS_RESP);
}

void SimulatedMediaPlayerService::Close() {
    if (!m_open) {
        Fail(SIG_ID_MPLAYER_CLOSE_FAIL, MEDIAPLAYER_STATUS_INVALID_STATE, "close request failed");
        return;
    }
    StopClock();
    m_open = false;
    Send(SIG_ID_MPLAYER_CLOSE_RESP);
    Send(SIG_ID_MPLAYER_CLOSED_IND);
}

void SimulatedMediaPlayerService::Tick() {
    if (!m_playing) {
        return;
    }
    int64_t position = PositionMs();
    int64_t end = static_cast<int64_t>(m_clip.durationSeconds) * 1000;
    if (m_clip.fail == "playback" && !m_errorSent && position * 2 >= end) {
        m_errorSent = true;
        StopClock();
        std::ostringstream why;
        why << "decoder error at " << PlayTimeMilliseconds{position};
        {
            std::lock_guard<std::mutex> lock(m_statsMutex);
            m_failures.push_back(why.str());
        }
        ErrorIndication(MEDIAPLAYER_ERROR_DECODER, why.str());
        Send(SIG_ID_MPLAYER_STATE_CHANGED_IND, MEDIAPLAYER_STATE_STOPPED);
        return;
    }
    if (position >= end) {
        StopClock();
        m_ended = true;
        // Paused at the last frame, then the end: the position stays there.
        Send(SIG_ID_MPLAYER_STATE_CHANGED_IND, MEDIAPLAYER_STATE_PAUSED);
        Send(SIG_ID_MPLAYER_EOS_IND);
    }
}

int64_t SimulatedMediaPlayerService::PositionMs() const {
    int64_t position = m_baseMs;
    if (m_playing) {
        position +=
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_startedAt)
                .count();
    }
    int64_t end = static_cast<int64_t>(m_clip.durationSeconds) * 1000;
    return position > end ? end : position;
}

void SimulatedMediaPlayerService::StopClock() {
    if (m_playing) {
        m_baseMs = PositionMs();
        m_playing = false;
        m_thread.SetTicking(false);
    }
}

void SimulatedMediaPlayerService::Send(MessagePtr msg) {
    MediaPlayerInterface::GetInstance()->Deliver(*msg);
}

void SimulatedMediaPlayerService::Send(unsigned long signal, long userData) {
    Send(Make(signal, userData));
}

void SimulatedMediaPlayerService::SendTimeBase() {
    auto msg = Make(SIG_ID_MPLAYER_NEW_BASE_TIME_IND);
    SetNewBaseTime(*msg, ++m_timeBase, PositionMs(), m_clip.durationSeconds);
    Send(msg);
}

void SimulatedMediaPlayerService::Fail(unsigned long signal, long status, std::string const& why) {
    {
        std::lock_guard<std::mutex> lock(m_statsMutex);
        m_failures.push_back(why);
    }
    Send(signal, status);
}

void SimulatedMediaPlayerService::ErrorIndication(int32_t error, std::string const& text) {
    auto msg = Make(SIG_ID_MPLAYER_ERROR_IND, error);
    SetText(*msg, text);
    Send(msg);
}
