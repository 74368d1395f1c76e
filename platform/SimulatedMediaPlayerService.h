#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MediaPlayerMessages.h"
#include "platform/MediaPlayerService.h"
#include "platform/ServiceThread.h"
#include "platform/SimulatedClip.h"
#include "util/QuorExport.h"

// A media player without a decoder: answers every request from its own
// thread the way the real service does and keeps a simulated clock for the
// clip chosen by the URL (see SimulatedClip).
//
//   open       open response, loading progress, stream counts, media
//              information, video format, play speeds, seekable, a time base
//              at 0, states 1 (stopped) and 2 (paused)
//   play       play response, state 3, a time base; the clock runs
//   pause      pause response, state 2; the clock stops
//   seekTo     a time base at the target (clamped to the clip), jump response
//   position   position response in ms; duration: duration response in s
//   close      close response and closed indication
//   end        state 2 and end of stream when the clock reaches the duration
// A failing step answers with its failure message (and, for open and
// playback, an error indication).
class QUOR_EXPORT SimulatedMediaPlayerService : public MediaPlayerService {
public:
    // The service behind MediaPlayerInterface when no other is installed.
    static SimulatedMediaPlayerService& Default();

    SimulatedMediaPlayerService();
    ~SimulatedMediaPlayerService() override = default;

    bool HandleRequest(MediaPlayerRequest const& request) override;

    // Requests received, by kind.
    std::array<int, kMediaPlayerRequestKinds> RequestCounts() const;
    // What went wrong, one line per failure the service reported.
    std::vector<std::string> Failures() const;
    // Returns when every request received so far has been answered.
    void WaitIdle() { m_thread.WaitIdle(); }

private:
    using Clock = std::chrono::steady_clock;

    // All of these run on the service thread.
    void Answer(MediaPlayerRequest const& request);
    void Open(std::string const& url);
    void Play();
    void Pause();
    void Seek(int seconds);
    void Close();
    void Tick();
    int64_t PositionMs() const;
    void StopClock();
    void Send(MediaPlayerMessages::MessagePtr msg);
    void Send(unsigned long signal, long userData = 0);
    void SendTimeBase();
    void Fail(unsigned long signal, long status, std::string const& why);
    void ErrorIndication(int32_t error, std::string const& text);

    mutable std::mutex m_statsMutex;
    std::array<int, kMediaPlayerRequestKinds> m_requestCounts{};
    std::vector<std::string> m_failures;

    // Service thread only.
    SimulatedClip m_clip;
    bool m_open = false;
    bool m_playing = false;
    bool m_ended = false;
    bool m_errorSent = false;
    int64_t m_baseMs = 0;          // position when the clock last started or stopped
    Clock::time_point m_startedAt; // when the clock last started
    uint32_t m_timeBase = 0;

    ServiceThread m_thread; // last: stopped before the state above goes
};
