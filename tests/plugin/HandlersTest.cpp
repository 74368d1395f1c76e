// The handlers of the service's messages: what each reads, what it changes
// and what the browser hears, in which order.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "support/FakeClock.h"
#include "support/PluginTestSupport.h"
#include "support/TimeoutRecorder.h"

namespace {

using namespace MediaPlayerMessages;
using Strings = std::vector<std::string>;

class Handlers : public FakeClockPluginTest<1000> {
protected:
    HTML5VideoPluginInspector model() { return HTML5VideoPluginInspector(*plugin); }

    void BaseTime(int64_t ms, int32_t seconds) {
        auto msg = Make(SIG_ID_MPLAYER_NEW_BASE_TIME_IND);
        SetNewBaseTime(*msg, 1, ms, seconds);
        Deliver(msg);
    }
    void Streams(uint8_t video, uint8_t audio, uint8_t subtitle) {
        auto msg = Make(SIG_ID_MPLAYER_NUM_STREAMS_IND);
        SetStreamCounts(*msg, video, audio, subtitle);
        Deliver(msg);
    }
    void State(long state) { Deliver(SIG_ID_MPLAYER_STATE_CHANGED_IND, state); }
    // The interval of the pending next-second timer (0 when none).
    guint NextSecondInterval() {
        guint tag = model().nextSecondTag();
        for (auto const& call : TimeoutRecorder::Calls()) {
            if (call.id == tag) {
                return call.interval;
            }
        }
        return 0;
    }
    int Warnings() {
        int n = 0;
        for (auto const& line : SyslogCapture::Lines()) {
            n += line.priority == 4 ? 1 : 0;
        }
        return n;
    }
};

TEST_F(Handlers, OpenResponseRaisesTheNetworkStateAndTellsTheBrowser) {
    Deliver(SIG_ID_MPLAYER_OPEN_RESP);
    EXPECT_EQ(Strings{"networkStateChanged"}, browser.calls);
    EXPECT_EQ(VideoPlugin::NetworkIdle, plugin->networkState());
}

TEST_F(Handlers, FailuresAndErrorsOnlyLog) {
    Deliver(SIG_ID_MPLAYER_OPEN_FAIL, MEDIAPLAYER_STATUS_NOT_FOUND);
    Deliver(SIG_ID_MPLAYER_PLAY_FAIL, MEDIAPLAYER_STATUS_ERROR);
    Deliver(SIG_ID_MPLAYER_PAUSE_FAIL, MEDIAPLAYER_STATUS_INVALID_STATE);
    auto error = Make(SIG_ID_MPLAYER_ERROR_IND, MEDIAPLAYER_ERROR_DECODER);
    SetText(*error, "decoder lost");
    Deliver(error);
    Deliver(SIG_ID_MPLAYER_CLOSE_RESP);
    Deliver(SIG_ID_MPLAYER_CLOSED_IND);
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_EQ(VideoPlugin::NetworkEmpty, plugin->networkState());
    EXPECT_EQ(VideoPlugin::HaveNothing, plugin->readyState());
    std::string const open =
        "html5-video-plugin: void HTML5VideoPlugin::processMplayerOpenFail(CQuorMsg*): ";
    EXPECT_EQ(1, SyslogCapture::Count(open + open + "NOT_FOUND(4)"));
    EXPECT_EQ(1, SyslogCapture::Count("processMplayerPlayFail(CQuorMsg*): ERROR(1)"));
    EXPECT_EQ(1,
              SyslogCapture::Count("processMplayerErrorInd(CQuorMsg*): DECODER(3), decoder lost"));
    EXPECT_EQ(0, Warnings());
}

TEST_F(Handlers, PositionResponseSetsTheTimeAndWaitsForTheNextWholeSecond) {
    Position(12345);
    EXPECT_EQ(12.345f, model().modelCurrentTime());
    EXPECT_EQ(655u, NextSecondInterval());
    EXPECT_EQ(Strings{"timeChanged"}, browser.calls);
    EXPECT_EQ(1000, model().positionStamp().tv_sec);
    EXPECT_EQ(1, SyslogCapture::Count("processMplayerGetCurPosResp(CQuorMsg*): 12345 msec = "
                                      "0:00:12.345"));
    Position(12000);
    EXPECT_EQ(12.0f, model().modelCurrentTime());
    EXPECT_EQ(1000u, NextSecondInterval());
    Position(0);
    EXPECT_EQ(1000u, NextSecondInterval());
    Position(999);
    EXPECT_EQ(1u, NextSecondInterval());
}

TEST_F(Handlers, AnUnchangedPositionRestartsTheTimerWithoutTimeChanged) {
    Position(5500);
    guint first = model().nextSecondTag();
    browser.Clear();
    FakeClock::Advance(0.3);
    Position(5500);
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_NE(first, model().nextSecondTag());
    EXPECT_FALSE(TimeoutRecorder::IsLive(first));
    EXPECT_TRUE(TimeoutRecorder::IsLive(model().nextSecondTag()));
    EXPECT_EQ(300000000, model().positionStamp().tv_nsec); // still stamped
}

TEST_F(Handlers, PositionAndDurationAnswersClearTheirOutstandingFlags) {
    plugin->play();
    ASSERT_TRUE(model().waitingForPosition());
    Deliver(SIG_ID_MPLAYER_GET_CUR_POS_FAIL, MEDIAPLAYER_STATUS_TIMEOUT);
    EXPECT_FALSE(model().waitingForPosition());
    plugin->duration();
    ASSERT_TRUE(model().waitingForDuration());
    Deliver(SIG_ID_MPLAYER_GET_DURATION_FAIL, MEDIAPLAYER_STATUS_ERROR);
    EXPECT_FALSE(model().waitingForDuration());
    plugin->duration();
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 30);
    EXPECT_FALSE(model().waitingForDuration());
    EXPECT_EQ(1000, model().durationStamp().tv_sec);
    EXPECT_EQ(1, SyslogCapture::Count("processMplayerGetCurPosFail(CQuorMsg*): TIMEOUT(6)"));
}

TEST_F(Handlers, ANegativeDurationIsZeroAndNotifiesOnlyAChange) {
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, -1);
    EXPECT_EQ(0.0f, model().modelDuration());
    EXPECT_TRUE(browser.calls.empty());
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 10);
    EXPECT_EQ(10.0f, model().modelDuration());
    EXPECT_EQ(Strings{"durationChanged"}, browser.calls);
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 10);
    EXPECT_EQ(1, browser.Count("durationChanged"));
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, -1);
    EXPECT_EQ(0.0f, model().modelDuration());
    EXPECT_EQ(2, browser.Count("durationChanged"));
    EXPECT_EQ(2, SyslogCapture::Count("processMplayerGetDurationResp(CQuorMsg*): -1 seconds = "
                                      "-0:00:01"));
}

TEST_F(Handlers, ANewTimeBaseNotifiesDurationBeforeTime) {
    BaseTime(4250, 60);
    EXPECT_EQ((Strings{"durationChanged", "timeChanged"}), browser.calls);
    EXPECT_EQ(4.25f, model().modelCurrentTime());
    EXPECT_EQ(60.0f, model().modelDuration());
    EXPECT_EQ(750u, NextSecondInterval());
    EXPECT_EQ(1000, model().positionStamp().tv_sec);
    EXPECT_EQ(1000, model().durationStamp().tv_sec);
    EXPECT_EQ(1, SyslogCapture::Count("position = 0:00:04.250, duration = 0:01:00"));
    browser.Clear();
    BaseTime(4250, 60); // nothing changed: no notification, the timer restarts
    EXPECT_TRUE(browser.calls.empty());
    BaseTime(7000, 60);
    EXPECT_EQ(Strings{"timeChanged"}, browser.calls);
    browser.Clear();
    BaseTime(7000, -5);
    EXPECT_EQ(Strings{"durationChanged"}, browser.calls);
    EXPECT_EQ(0.0f, model().modelDuration());
}

TEST_F(Handlers, TheEndOfStreamAlwaysTellsTheTimeAndStopsAtTheDuration) {
    BaseTime(9000, 9);
    browser.Clear();
    Deliver(SIG_ID_MPLAYER_EOS_IND);
    EXPECT_EQ(Strings{"timeChanged"}, browser.calls);
    EXPECT_TRUE(model().ended());
    EXPECT_EQ(9.0f, model().modelCurrentTime());
    Deliver(SIG_ID_MPLAYER_EOS_IND); // equal values: told again
    EXPECT_EQ(2, browser.Count("timeChanged"));
}

TEST_F(Handlers, SeekAnswersEndTheSeekAndTellTheTime) {
    for (unsigned long answer : {SIG_ID_MPLAYER_JUMP_ABS_RESP, SIG_ID_MPLAYER_JUMP_ABS_FAIL,
                                 SIG_ID_MPLAYER_JUMP_OFF_RESP, SIG_ID_MPLAYER_JUMP_OFF_FAIL}) {
        browser.Clear();
        plugin->seek(3.0f);
        ASSERT_TRUE(plugin->seeking());
        Deliver(answer, MEDIAPLAYER_STATUS_ERROR);
        EXPECT_FALSE(plugin->seeking()) << answer;
        EXPECT_EQ(Strings{"timeChanged"}, browser.calls) << answer;
    }
    EXPECT_EQ(4, service.Count(MediaPlayerRequestKind::SeekTo));
    EXPECT_EQ(1, SyslogCapture::Count("processMplayerJumpAbsFail(CQuorMsg*): ERROR(1)"));
}

TEST_F(Handlers, StateChangesNotifyPlaybackOnlyForPausedAndPlaying) {
    Streams(1, 0, 0);
    browser.Clear();
    State(1);
    EXPECT_EQ(Strings{"readyStateChanged"}, browser.calls); // 1 -> 2, no playback change
    State(2);
    EXPECT_EQ((Strings{"readyStateChanged", "readyStateChanged", "playbackStateChanged"}),
              browser.calls);
    browser.Clear();
    State(3);
    EXPECT_EQ(Strings{"playbackStateChanged"}, browser.calls);
    EXPECT_EQ(1,
              SyslogCapture::Count("processMplayerStateChangedInd(CQuorMsg*): state=PLAYING(3)"));
    browser.Clear();
    State(0); // the ready state is never lowered
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_EQ(VideoPlugin::HaveFutureData, plugin->readyState());
}

TEST_F(Handlers, ReadyStateNeedsAStreamThenAPlayerStateStepByStep) {
    Streams(0, 0, 0);
    Deliver([] {
        auto msg = Make(SIG_ID_MPLAYER_MEDIA_INFO_IND);
        SetText(*msg, "<mediainfo></mediainfo>");
        return msg;
    }());
    State(3);
    EXPECT_EQ(VideoPlugin::HaveNothing, plugin->readyState());
    EXPECT_EQ(0, browser.Count("readyStateChanged"));
    // One call raises through every step the state allows: 0 -> 3.
    Streams(0, 1, 0);
    EXPECT_EQ(3, browser.Count("readyStateChanged"));
    EXPECT_EQ(VideoPlugin::HaveFutureData, plugin->readyState());
    for (char const* step : {"A", "B1", "B2", "C1", "C2"}) {
        EXPECT_EQ(1, SyslogCapture::Count(std::string("updateReadyState(): ") + step)) << step;
    }
}

TEST_F(Handlers, MediaInformationAloneCanRaiseTheReadyState) {
    auto msg = Make(SIG_ID_MPLAYER_MEDIA_INFO_IND);
    SetText(*msg, "<mediainfo><video codec=\"avc1\" width=\"640\" height=\"360\"/></mediainfo>");
    Deliver(msg);
    EXPECT_EQ(VideoPlugin::HaveMetadata, plugin->readyState());
    EXPECT_EQ(1u, model().mediaInfoVideoStreams());
    EXPECT_EQ(1, SyslogCapture::Count("XML:<mediainfo><video codec=\"avc1\""));
    EXPECT_EQ(1, SyslogCapture::Count("parsed:video=[avc1 640x360] audio=[] subtitles=[]"));
}

TEST_F(Handlers, MissingOrShortPayloadsAreLoggedAndIgnored) {
    BaseTime(2000, 20);
    Streams(1, 1, 0);
    browser.Clear();
    struct Case {
        unsigned long id;
        std::size_t needed;
    } const cases[] = {{SIG_ID_MPLAYER_GET_CUR_POS_RESP, 8},
                       {SIG_ID_MPLAYER_GET_BYTESIZE_RESP, 8},
                       {SIG_ID_MPLAYER_NEW_BASE_TIME_IND, 16},
                       {SIG_ID_MPLAYER_NUM_STREAMS_IND, 3},
                       {SIG_ID_MPLAYER_VIDEO_FORMAT_IND, 18},
                       {SIG_ID_MPLAYER_SUPPORTED_PLAY_SPEED_IND, 16},
                       {SIG_ID_MPLAYER_GET_SUPPORTED_PLAY_SPEED_RESP, 16}};
    for (auto const& c : cases) {
        SyslogCapture::Clear();
        Deliver(c.id); // no payload at all
        auto msg = Make(c.id);
        std::vector<unsigned char> shortPayload(c.needed - 1, 0xFF);
        SetPayload(*msg, shortPayload.data(), shortPayload.size()); // ASan sees any over-read
        Deliver(msg);
        EXPECT_EQ(2, Warnings()) << c.id << "\n" << SyslogCapture::Dump();
        EXPECT_EQ(1, SyslogCapture::Count("payload of 0 bytes, expected " +
                                          std::to_string(c.needed) + ": message ignored"))
            << c.id;
    }
    EXPECT_TRUE(browser.calls.empty());
    EXPECT_EQ(2.0f, model().modelCurrentTime());
    EXPECT_EQ(20.0f, model().modelDuration());
    EXPECT_EQ(1u, model().videoStreams());
}

TEST_F(Handlers, TheVideoFormatIsReadFromItsBigEndianFields) {
    auto format = Make(SIG_ID_MPLAYER_VIDEO_FORMAT_IND);
    SetVideoFormat(*format, 1920, 1080, 16, 9);
    Deliver(format);
    EXPECT_EQ(1, SyslogCapture::Count("processMplayerVideoFormatInd(CQuorMsg*): 1920x1080, 16:9"));
}

TEST_F(Handlers, TextsWithoutTerminatorAreCutAtTheirSize) {
    auto error = Make(SIG_ID_MPLAYER_ERROR_IND, MEDIAPLAYER_ERROR_NETWORK);
    SetPayload(*error, "lost", 4); // no NUL
    Deliver(error);
    auto lines = SyslogCapture::Matching("processMplayerErrorInd(CQuorMsg*): NETWORK(2), ");
    ASSERT_EQ(1u, lines.size());
    std::string const& text = lines[0].text;
    EXPECT_EQ(", lost", text.substr(text.size() - 6)); // nothing read past the payload
    auto info = Make(SIG_ID_MPLAYER_MEDIA_INFO_IND);
    SetPayload(*info, "<mediainfo><video/></mediainfo>", 31); // no NUL
    Deliver(info);
    EXPECT_EQ(1u, model().mediaInfoVideoStreams());
    // Without payload: an empty text.
    Deliver(SIG_ID_MPLAYER_ERROR_IND, MEDIAPLAYER_ERROR_OPEN);
    Deliver(SIG_ID_MPLAYER_MEDIA_INFO_IND);
    EXPECT_EQ(0u, model().mediaInfoVideoStreams());
    EXPECT_EQ(1, SyslogCapture::Count("processMplayerErrorInd(CQuorMsg*): OPEN(1), "));
}

} // namespace
