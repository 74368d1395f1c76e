// The browser's operations: what reaches the service, what is recorded, and
// the fixed answers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

class Operations : public PluginTest {
protected:
    void SetUp() override {
        FakeClock::Install(5000.0);
        PluginTest::SetUp();
    }
    void TearDown() override {
        PluginTest::TearDown();
        FakeClock::Uninstall();
    }
    HTML5VideoPluginInspector model() { return HTML5VideoPluginInspector(*plugin); }
};

TEST_F(Operations, LoadSendsTheOpenRequestAndLogsItsResult) {
    plugin->load("http://host/clip.mp4");
    auto requests = service.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(Kind::Open, requests[0].kind);
    EXPECT_EQ("http://host/clip.mp4", requests[0].url);
    EXPECT_EQ(0, requests[0].open.startPosition);
    EXPECT_EQ(0, requests[0].open.drmType);
    EXPECT_EQ(256, requests[0].open.bufferSizeKb);
    EXPECT_EQ(0, requests[0].open.isLive);
    EXPECT_EQ(0, requests[0].open.loop);
    EXPECT_EQ(0, requests[0].open.windowId);
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

TEST_F(Operations, PauseInStatesOtherThanPlayingLeavesTheTimeAlone) {
    for (int state : {0, 1, 2}) {
        model().setMediaPlayerState(state);
        FakeClock::Advance(3.0);
        plugin->pause();
        EXPECT_EQ(0.0f, model().modelCurrentTime()) << "state " << state;
    }
    EXPECT_EQ(3, service.Count(Kind::Pause));
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

TEST_F(Operations, SettingsAreRecordedAndNothingIsSent) {
    plugin->setRate(1.5f);
    plugin->setPreservesPitch(true);
    plugin->setPoster("http://host/poster.jpg");
    plugin->setVolume(0.25f);
    plugin->setMuted(true);
    plugin->setVisible(false);
    plugin->setControls(true);
    plugin->setPrivateBrowsingMode(true);
    plugin->sourceEndOfStream(VideoPlugin::EndOfStreamDecodeError);
    EXPECT_EQ(1.5f, model().rate());
    EXPECT_TRUE(model().preservesPitch());
    EXPECT_EQ("http://host/poster.jpg", model().poster());
    EXPECT_TRUE(service.Requests().empty());
    EXPECT_EQ(0, LastVideoProperties().calls);
    EXPECT_EQ(1, SyslogCapture::Count("setVolume(float): volume=0.25"));
    EXPECT_EQ(1, SyslogCapture::Count("sourceEndOfStream(VideoPlugin::EndOfStreamStatus): 2"));
}

TEST_F(Operations, PreloadIsLoggedByNameAndStoredWhateverItsValue) {
    char const* const names[] = {"None", "MetaData", "Auto"};
    for (int value = 0; value < 3; ++value) {
        plugin->setPreload(static_cast<VideoPlugin::Preload>(value));
        EXPECT_EQ(value, model().preload());
        EXPECT_EQ(1, SyslogCapture::Count(std::string("setPreload(VideoPlugin::Preload): ") +
                                          names[value]));
    }
    plugin->setPreload(static_cast<VideoPlugin::Preload>(7));
    EXPECT_EQ(7, model().preload());
    EXPECT_EQ(1, SyslogCapture::Count("setPreload(VideoPlugin::Preload): unknown"));
}

TEST_F(Operations, NaturalSizeIsTheLastSizeTheBrowserSet) {
    VideoPlugin::Size size = plugin->naturalSize();
    EXPECT_EQ(0, size.width);
    EXPECT_EQ(0, size.height);
    model().parseMediaInfo("<mediainfo><video width=\"1920\" height=\"1080\"/></mediainfo>");
    size = plugin->naturalSize();
    EXPECT_EQ(0, size.width); // not the media's size
    plugin->setSize({640, 360});
    size = plugin->naturalSize();
    EXPECT_EQ(640, size.width);
    EXPECT_EQ(360, size.height);
    EXPECT_EQ(1, SyslogCapture::Count("naturalSize(): 640x360"));
    EXPECT_EQ(0, LastVideoProperties().calls); // setSize does not move the video plane
}

TEST_F(Operations, PaintPassesTheRectangleToThePlaneAsYXWidthHeight) {
    auto* context = reinterpret_cast<VideoPlugin::GraphicsContext*>(0x5000);
    browser.visible = false;
    plugin->paint(context, {10, 20, 640, 360});
    VideoPlaneRectangle plane = LastVideoProperties();
    EXPECT_EQ(1, plane.calls);
    EXPECT_EQ(10, plane.x);
    EXPECT_EQ(20, plane.y);
    EXPECT_EQ(640, plane.width);
    EXPECT_EQ(360, plane.height);
    EXPECT_EQ((std::vector<std::string>{"isVisible", "paintVideoArea"}), browser.calls);
    EXPECT_EQ(context, browser.lastContext);
    EXPECT_EQ(10, browser.lastRect.x);
    EXPECT_EQ(20, browser.lastRect.y);
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
}

TEST_F(Operations, HasAudioWritesAnExtraEntryLineFirst) {
    SyslogCapture::Clear();
    plugin->hasAudio();
    auto lines = SyslogCapture::Lines();
    std::string const sig = "html5-video-plugin: virtual bool HTML5VideoPlugin::hasAudio(): ";
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(sig + sig, lines[0].text);
    EXPECT_EQ(sig + sig + "numAudioStreams=0, res=0", lines[1].text);
}

TEST_F(Operations, FixedAnswersSayWhatThePluginDoesNotSupport) {
    VideoPlugin::PluginInterface& p = *plugin;
    EXPECT_FALSE(p.supportsFullscreen());
    EXPECT_FALSE(p.supportsSave());
    EXPECT_FALSE(p.supportsScanning());
    EXPECT_EQ(0.0f, p.startTime());
    EXPECT_EQ(0.0, p.initialTime());
    EXPECT_FALSE(p.supportsMuting());
    EXPECT_TRUE(p.didLoadingProgress());
    EXPECT_FALSE(p.canLoadPoster());
    EXPECT_FALSE(p.canEnterFullscreen());
    EXPECT_FALSE(p.supportsAcceleratedRendering());
    EXPECT_FALSE(p.hasSingleSecurityOrigin());
    EXPECT_FALSE(p.didPassCORSAccessCheck());
    EXPECT_EQ(VideoPlugin::MovieLoadUnknown, p.movieLoadType());
    EXPECT_EQ(0, p.movieLoadType());
    EXPECT_EQ(12.75f, p.mediaTimeForTimeValue(12.75f));
    EXPECT_EQ(5.0, p.maximumDurationToCacheMediaTime());
    EXPECT_EQ(0u, p.decodedFrameCount());
    EXPECT_EQ(0u, p.droppedFrameCount());
    EXPECT_EQ(0u, p.audioDecodedByteCount());
    EXPECT_EQ(0u, p.videoDecodedByteCount());
    std::vector<std::string> sites = {"kept"};
    p.getSitesInMediaCache(sites);
    EXPECT_EQ(std::vector<std::string>{"kept"}, sites);
    EXPECT_EQ("", p.engineDescription());
    EXPECT_EQ(1, p.sourceAddId("id", "video/mp4", {}));
    EXPECT_TRUE(p.sourceBuffered("id").empty());
    unsigned char const data[4] = {1, 2, 3, 4};
    EXPECT_FALSE(p.sourceRemoveId("id"));
    EXPECT_FALSE(p.sourceAppend("id", data, 4));
    EXPECT_FALSE(p.sourceAbort("id"));
    EXPECT_FALSE(p.sourceSetTimestampOffset("id", 1.0));
    EXPECT_EQ(2, p.addKey("ks", data, 4, data, 4, "s"));
    EXPECT_EQ(2, p.generateKeyRequest("ks", data, 4));
    EXPECT_EQ(2, p.cancelKeyRequest("ks", "s"));
    p.enterFullscreen();
    p.exitFullscreen();
    p.acceleratedRenderingStateChanged();
    p.prepareForRendering();
    p.clearMediaCache();
    p.clearMediaCacheForSite("host");
    p.prepareToPlay();
    p.cancelLoad();
    EXPECT_TRUE(service.Requests().empty());
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_EQ(1, SyslogCapture::Count("didLoadingProgress(): 1"));
    EXPECT_EQ(1, SyslogCapture::Count("canLoadPoster(): 0"));
    // Every operation wrote its entry line.
    EXPECT_EQ(1, SyslogCapture::Count("virtual void HTML5VideoPlugin::cancelLoad(): "));
    EXPECT_EQ(1, SyslogCapture::Count("HTML5VideoPlugin::clearMediaCacheForSite("));
}

} // namespace
