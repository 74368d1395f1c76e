// The plugin against the simulated player on a real glib main loop and the
// real clock, the way the browser uses it.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/SimulatedMediaPlayerService.h"
#include "support/PluginTestSupport.h"

namespace {

// A browser that reads what it is told about, as a page does.
class ReadingBrowser : public RecordingBrowser {
public:
    void timeChanged() override {
        RecordingBrowser::timeChanged();
        if (plugin != nullptr) {
            seenTime = plugin->currentTime();
        }
    }
    void durationChanged() override {
        RecordingBrowser::durationChanged();
        seenDuration = plugin->duration();
    }
    VideoPlugin::PluginInterface* plugin = nullptr;
    float seenTime = -1;
    float seenDuration = -1;
};

double Now() {
    return static_cast<double>(g_get_monotonic_time()) / 1e6;
}

TEST(EndToEnd, PlaysASeekedClipToItsEndWithFewPositionRequests) {
    SimulatedMediaPlayerService service;
    MediaPlayerInterface::GetInstance()->SetService(&service);
    ReadingBrowser browser;
    auto plugin = std::make_unique<HTML5VideoPlugin>(&browser);
    browser.plugin = plugin.get();

    plugin->load("http://media.example/e2e.mp4?duration=3");
    ASSERT_TRUE(RunUntil([&] { return plugin->readyState() == VideoPlugin::HaveFutureData; }));
    EXPECT_EQ(VideoPlugin::NetworkIdle, plugin->networkState());
    EXPECT_TRUE(plugin->paused());
    EXPECT_TRUE(plugin->hasVideo());
    EXPECT_EQ(3.0f, browser.seenDuration);

    double started = Now();
    plugin->play();
    // The page polls the time; the plugin answers from its model.
    float position = 0;
    ASSERT_TRUE(RunUntil([&] {
        position = plugin->currentTime();
        return position >= 1.0f;
    }));
    double elapsed = Now() - started;
    EXPECT_NEAR(elapsed, position, 0.5) << "the time follows the wall clock";

    plugin->seek(2.0f);
    ASSERT_TRUE(RunUntil([&] { return !plugin->seeking(); }));
    position = plugin->currentTime();
    EXPECT_GE(position, 2.0f);
    EXPECT_LT(position, 2.5f);

    ASSERT_TRUE(RunUntil([&] {
        plugin->currentTime();
        return plugin->paused() && browser.seenTime == 3.0f;
    }));
    double playback = Now() - started;
    EXPECT_EQ(3.0f, plugin->currentTime()); // the end leaves the time at the duration
    EXPECT_EQ(3.0f, plugin->duration());

    // One position request per second of playback at most, plus the one of play.
    int positionRequests =
        service.RequestCounts()[static_cast<std::size_t>(MediaPlayerRequestKind::GetCurPos)];
    EXPECT_GE(positionRequests, 1);
    EXPECT_LE(positionRequests, 1 + static_cast<int>(std::ceil(playback)));
    EXPECT_GE(browser.Count("timeChanged"), 2);

    plugin.reset();
    service.WaitIdle();
    EXPECT_EQ(1, service.RequestCounts()[static_cast<std::size_t>(MediaPlayerRequestKind::Close)]);
    RunPendingEvents();
    MediaPlayerInterface::GetInstance()->SetService(nullptr);
}

TEST(EndToEnd, AFailingOpenLeavesThePluginWaitingAndHarmless) {
    SimulatedMediaPlayerService service;
    MediaPlayerInterface::GetInstance()->SetService(&service);
    RecordingBrowser browser;
    auto plugin = std::make_unique<HTML5VideoPlugin>(&browser);
    plugin->load("http://media.example/x.mp4?fail=open");
    service.WaitIdle();
    RunPendingEvents();
    EXPECT_EQ(VideoPlugin::NetworkEmpty, plugin->networkState());
    EXPECT_EQ(VideoPlugin::HaveNothing, plugin->readyState());
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_EQ(1u, service.Failures().size());
    plugin.reset();
    service.WaitIdle();
    RunPendingEvents();
    MediaPlayerInterface::GetInstance()->SetService(nullptr);
}

} // namespace
