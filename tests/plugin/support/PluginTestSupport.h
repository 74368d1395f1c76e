#pragma once

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "FakeClock.h"
#include "platform/MediaPlayerInterface.h"
#include "platform/ScriptedMediaPlayerService.h"
#include "plugin/HTML5VideoPlugin.h"
#include "support/RecordingBrowser.h"
#include "support/SyslogCapture.h"

// Reads the plugin's model for the tests.
class HTML5VideoPluginInspector {
public:
    explicit HTML5VideoPluginInspector(HTML5VideoPlugin& plugin) : p(plugin) {}
    HTML5VideoPlugin& p;

    int32_t mediaPlayerState() const { return p.m_mediaPlayerState; }
    bool ended() const { return p.m_ended; }
    bool seekableFlag() const { return p.m_seekable; }
    float modelCurrentTime() const { return p.m_currentTime; }
    float modelDuration() const { return p.m_duration; }
    bool waitingForPosition() const { return p.m_waitingForPosition; }
    bool waitingForDuration() const { return p.m_waitingForDuration; }
    std::string url() const { return p.m_url; }
    unsigned videoStreams() const { return p.m_numVideoStreams; }
    unsigned audioStreams() const { return p.m_numAudioStreams; }
    unsigned subtitleStreams() const { return p.m_numSubtitleStreams; }
    size_t mediaInfoVideoStreams() const { return p.m_mediaInfo.videoStreams().size(); }
    size_t queued() const {
        pthread_mutex_lock(&p.m_messageQueueMutex);
        size_t n = p.m_messageQueue.size();
        pthread_mutex_unlock(&p.m_messageQueueMutex);
        return n;
    }
    unsigned nextSecondTag() const { return p.m_sourceTagNextSecond; }
    void startNextSecondTimer(int32_t msec) { p.startNextSecondTimer(msec); }
    // Shortcuts into the model for tests of the browser operations alone.
    void setMediaPlayerState(int32_t state) { p.m_mediaPlayerState = state; }
    void setStreamCounts(uint8_t video, uint8_t audio, uint8_t subtitle) {
        p.m_numVideoStreams = video;
        p.m_numAudioStreams = audio;
        p.m_numSubtitleStreams = subtitle;
    }
    bool parseMediaInfo(std::string const& xml) { return p.m_mediaInfo.parseXML(xml); }
    CQuorMsg* front() const {
        pthread_mutex_lock(&p.m_messageQueueMutex);
        CQuorMsg* msg = p.m_messageQueue.empty() ? nullptr : p.m_messageQueue.front();
        pthread_mutex_unlock(&p.m_messageQueueMutex);
        return msg;
    }
    timespec positionStamp() const { return p.m_positionTimeStamp; }
    timespec durationStamp() const { return p.m_durationTimeStamp; }
};

// Runs the default main context until nothing is ready at once.
void RunPendingEvents();
// Runs the default main context until done() or the timeout; whether done().
bool RunUntil(std::function<bool()> const& done,
              std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// A plugin with a recording browser, registered with a scripted service.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Posts a message to the plugin from the service's thread, waits until it
    // was delivered and drains it on the main loop.
    void Deliver(MediaPlayerMessages::MessagePtr msg);
    void Deliver(unsigned long signal, long userData = 0);
    // Delivers a position answer of `ms` milliseconds.
    void Position(int64_t ms);
    void DestroyPlugin();

    ScriptedMediaPlayerService service;
    RecordingBrowser browser;
    std::unique_ptr<HTML5VideoPlugin> plugin;
};

// The same on the fake clock, started at `start` seconds.
template <int start> class FakeClockPluginTest : public PluginTest {
protected:
    void SetUp() override {
        FakeClock::Install(start);
        PluginTest::SetUp();
    }
    void TearDown() override {
        PluginTest::TearDown();
        FakeClock::Uninstall();
    }
};
