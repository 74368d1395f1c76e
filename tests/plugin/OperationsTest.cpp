// The browser's operations: what reaches the service, what is recorded, and
// the fixed answers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

#include "platform/HbbVideoProperties.h"
#include "support/FakeClock.h"
#include "support/PluginTestSupport.h"

namespace {

using Kind = MediaPlayerRequestKind;

std::vector<Kind> Kinds(std::vector<MediaPlayerRequest> const& requests) {
    std::vector<Kind> kinds;
    for (auto const& request : requests) {
        kinds.push_back(request.kind);
    }
    return kinds;
}

class Operations : public FakeClockPluginTest<5000> {
protected:
    HTML5VideoPluginInspector model() { return HTML5VideoPluginInspector(*plugin); }
};

TEST_F(Operations, LoadSendsTheOpenRequestAndLogsItsResult) {
    plugin->load("http://host/clip.mp4");
    auto requests = service.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(Kind::Open, requests[0].kind);
    EXPECT_EQ("http://host/clip.mp4", requests[0].url);
    EXPECT_EQ(256, requests[0].open.bufferSizeKb);
    EXPECT_EQ("http://host/clip.mp4", model().url());
    std::string const sig =
        "html5-video-plugin: virtual void HTML5VideoPlugin::load(std::string): ";
    EXPECT_EQ(1, SyslogCapture::Count(sig + sig + "http://host/clip.mp4"));
    EXPECT_EQ(1, SyslogCapture::Count(sig + sig + "load: sendOpenReq returned 1"));
    // Nothing else changes until the service answers.
    EXPECT_EQ(VideoPlugin::NetworkEmpty, plugin->networkState());
    EXPECT_TRUE(browser.calls.empty());

    service.SetRequestResult(false);
    plugin->load("http://host/other.mp4");
    EXPECT_EQ(1, SyslogCapture::Count(sig + sig + "load: sendOpenReq returned 0"));
}

TEST_F(Operations, PlaySendsPlayThenAPositionRequestEvenWhileOneIsOutstanding) {
    plugin->play();
    EXPECT_TRUE(model().waitingForPosition());
    EXPECT_EQ(5000, model().positionStamp().tv_sec);
    FakeClock::Advance(0.25);
    plugin->play();
    EXPECT_EQ((std::vector<Kind>{Kind::Play, Kind::GetCurPos, Kind::Play, Kind::GetCurPos}),
              Kinds(service.Requests()));
    EXPECT_EQ(250000000, model().positionStamp().tv_nsec);
}

TEST_F(Operations, PauseWhilePlayingAddsTheElapsedTimeWithoutANewStamp) {
    model().setMediaPlayerState(3);
    plugin->play(); // stamps 5000.0
    FakeClock::Advance(1.5);
    plugin->pause();
    EXPECT_NEAR(1.5, model().modelCurrentTime(), 1e-4);
    EXPECT_EQ(5000, model().positionStamp().tv_sec); // not renewed
    EXPECT_EQ(1, service.Count(Kind::Pause));
    EXPECT_EQ(1, SyslogCapture::Count("pause(): html5-video-plugin: virtual void "
                                      "HTML5VideoPlugin::pause(): delta=1.5"));
}

TEST_F(Operations, SeekSendsWholeSecondsTruncatedTowardZeroOncePerAnswer) {
    plugin->seek(12.9f);
    EXPECT_TRUE(plugin->seeking());
    plugin->seek(30.0f); // the first is still outstanding: dropped
    auto requests = service.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(Kind::SeekTo, requests[0].kind);
    EXPECT_EQ(12, requests[0].seconds);
    std::string const sig = "html5-video-plugin: virtual void HTML5VideoPlugin::seek(float): ";
    EXPECT_EQ(1, SyslogCapture::Count(sig + sig + "to 12.9, isSeeking=0"));
    EXPECT_EQ(1, SyslogCapture::Count(sig + sig + "to 30, isSeeking=1"));
}

TEST_F(Operations, SeekTargetsOutsideTheIntRangeAreClampedNotUndefined) {
    struct Case {
        float time;
        int seconds;
    } const cases[] = {
        {-0.5f, 0},
        {-1.7f, -1},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {1e20f, std::numeric_limits<int>::max()},
        {-1e20f, std::numeric_limits<int>::min()},
        {std::numeric_limits<float>::infinity(), std::numeric_limits<int>::max()},
    };
    for (auto const& c : cases) {
        service.ClearRequests();
        HTML5VideoPlugin fresh(&browser); // a plugin without an outstanding seek
        fresh.seek(c.time);
        auto requests = service.Requests();
        ASSERT_EQ(1u, requests.size());
        EXPECT_EQ(c.seconds, requests[0].seconds) << c.time;
    }
}

TEST_F(Operations, PausedAndFrameAvailabilityFollowThePlayerState) {
    struct Case {
        int state;
        bool paused;
        bool frame;
    } const cases[] = {{0, false, false}, {1, false, false}, {2, true, true}, {3, false, true}};
    for (auto const& c : cases) {
        model().setMediaPlayerState(c.state);
        EXPECT_EQ(c.paused, plugin->paused()) << c.state;
        EXPECT_EQ(c.frame, plugin->hasAvailableVideoFrame()) << c.state;
    }
    EXPECT_EQ(1, SyslogCapture::Count("paused(): m_mediaPlayerState=2, res=1"));
    EXPECT_EQ(1, SyslogCapture::Count("hasAvailableVideoFrame(): m_mediaPlayerState=1, res=0"));
}

TEST_F(Operations, ClosedCaptionsSwitchSubtitlesAtTheService) {
    plugin->setClosedCaptionsVisible(true);
    plugin->setClosedCaptionsVisible(false);
    EXPECT_EQ((std::vector<Kind>{Kind::EnableSubtitle, Kind::DisableSubtitle}),
              Kinds(service.Requests()));
}

TEST_F(Operations, NaturalSizeIsTheLastSizeTheBrowserSet) {
    auto const natural = [&] {
        VideoPlugin::Size const size = plugin->naturalSize();
        return std::make_pair(size.width, size.height);
    };
    EXPECT_EQ(std::make_pair(0, 0), natural());
    model().parseMediaInfo("<mediainfo><video width=\"1920\" height=\"1080\"/></mediainfo>");
    EXPECT_EQ(std::make_pair(0, 0), natural()); // not the media's size
    plugin->setSize({640, 360});
    EXPECT_EQ(std::make_pair(640, 360), natural());
    EXPECT_EQ(1, SyslogCapture::Count("naturalSize(): 640x360"));
    EXPECT_EQ(0, LastVideoProperties().calls); // setSize does not move the video plane
}

TEST_F(Operations, PaintPassesTheRectangleToThePlaneAsYXWidthHeight) {
    auto* context = reinterpret_cast<VideoPlugin::GraphicsContext*>(0x5000);
    browser.visible = false;
    plugin->paint(context, {10, 20, 640, 360});
    VideoPlaneRectangle plane = LastVideoProperties();
    EXPECT_EQ(std::make_tuple(1, 10, 20, 640, 360),
              std::tie(plane.calls, plane.x, plane.y, plane.width, plane.height));
    EXPECT_EQ((std::vector<std::string>{"isVisible", "paintVideoArea"}), browser.calls);
    EXPECT_EQ(context, browser.lastContext);
    EXPECT_EQ(std::make_tuple(10, 20), std::tie(browser.lastRect.x, browser.lastRect.y));
    EXPECT_EQ(1, SyslogCapture::Count("opaque: 0x5000, rect: (640x360) at (10,20)"));
    EXPECT_EQ(1, SyslogCapture::Count("visible=0"));
}

TEST_F(Operations, StreamQueriesTakeTheLargerOfCountAndMediaInformation) {
    EXPECT_FALSE(plugin->hasVideo());
    EXPECT_FALSE(plugin->hasAudio());
    EXPECT_FALSE(plugin->hasClosedCaptions());

    model().setStreamCounts(0, 2, 0);
    EXPECT_FALSE(plugin->hasVideo());
    EXPECT_TRUE(plugin->hasAudio());
    EXPECT_EQ(1, SyslogCapture::Count("hasAudio(): numAudioStreams=2, res=1"));

    model().setStreamCounts(0, 0, 0);
    ASSERT_TRUE(model().parseMediaInfo("<mediainfo><video/><subtitle language=\"de\"/>"
                                       "<subtitle language=\"en\"/></mediainfo>"));
    EXPECT_TRUE(plugin->hasVideo());
    EXPECT_FALSE(plugin->hasAudio());
    EXPECT_TRUE(plugin->hasClosedCaptions());
    EXPECT_EQ(1, SyslogCapture::Count("hasVideo(): numVideoStreams=1, res=1"));
    EXPECT_EQ(1, SyslogCapture::Count("hasClosedCaptions(): numSubtitleStreams=2, res=1"));
    model().setStreamCounts(1, 1, 1);
    HTML5VideoPluginInspector(*plugin).parseMediaInfo("<mediainfo></mediainfo>");
    EXPECT_TRUE(plugin->hasClosedCaptions()); // one stream is enough
}

} // namespace
