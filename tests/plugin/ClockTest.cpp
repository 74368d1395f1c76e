// The playback clock: extrapolation from the last position, the staleness
// limits that decide when to ask the service again, the next-second timer
// and the time ranges. Time is the test's fake clock.
#include <gtest/gtest.h>

#include <functional>

#include "support/FakeClock.h"
#include "support/PluginTestSupport.h"
#include "support/TimeoutRecorder.h"

namespace {

using namespace MediaPlayerMessages;
using Kind = MediaPlayerRequestKind;

class Clock : public FakeClockPluginTest<2000> {
protected:
    // Playing, at position ms stamped now.
    void PlayingAt(int64_t ms) {
        Deliver(SIG_ID_MPLAYER_STATE_CHANGED_IND, 3);
        Position(ms);
        service.ClearRequests();
    }
};

TEST_F(Clock, PlayingExtrapolatesAndAsksAgainOncePerStaleSecond) {
    PlayingAt(10000);
    FakeClock::Advance(0.4);
    EXPECT_NEAR(10.4f, plugin->currentTime(), 1e-3);
    EXPECT_EQ(0, service.Count(Kind::GetCurPos));

    FakeClock::Set(2001.5);
    EXPECT_NEAR(11.5f, plugin->currentTime(), 1e-3);
    EXPECT_EQ(1, service.Count(Kind::GetCurPos));
    FakeClock::Advance(0.7);
    EXPECT_NEAR(12.2f, plugin->currentTime(), 1e-3); // still extrapolating
    EXPECT_EQ(1, service.Count(Kind::GetCurPos));    // one request outstanding

    // The answer stamps the position again; the next request waits a second.
    Position(12200);
    FakeClock::Advance(0.99);
    plugin->currentTime();
    EXPECT_EQ(1, service.Count(Kind::GetCurPos));
    FakeClock::Advance(0.02);
    plugin->currentTime();
    EXPECT_EQ(2, service.Count(Kind::GetCurPos));
}

TEST_F(Clock, StaleMeansStrictlyLaterThanOneSecond) {
    PlayingAt(0);
    FakeClock::Advance(1.0);
    EXPECT_NEAR(1.0f, plugin->currentTime(), 1e-4);
    EXPECT_EQ(0, service.Count(Kind::GetCurPos));
    FakeClock::Advance(1e-9);
    plugin->currentTime();
    EXPECT_EQ(1, service.Count(Kind::GetCurPos));
}

TEST_F(Clock, DeltaBorrowsASecondWhenNanosecondsUnderflow) {
    FakeClock::Set(2000.9);
    PlayingAt(3000);
    FakeClock::Set(2001.1); // 0.2 s later, nanoseconds smaller than the stamp's
    EXPECT_NEAR(3.2f, plugin->currentTime(), 1e-4);
    EXPECT_EQ(1, SyslogCapture::Count("currentTime(): delta=0.2"));
    EXPECT_EQ(1, SyslogCapture::Count("currentTime(): time=3, abs=(2000,900000000), "
                                      "now=(2001,100000000), waiting=0"));
}

TEST_F(Clock, OtherStatesAnswerTheStoredPositionHoweverOld) {
    Position(7000);
    for (long state : {0, 1, 2}) {
        Deliver(SIG_ID_MPLAYER_STATE_CHANGED_IND, state);
        FakeClock::Advance(100.0);
        EXPECT_EQ(7.0f, plugin->currentTime()) << state;
    }
    EXPECT_EQ(0, service.Count(Kind::GetCurPos));
}

TEST_F(Clock, DurationAsksWhenItsStampIsOlderThanFiveSeconds) {
    // The stamp starts at 0: the first call asks, in any player state.
    EXPECT_EQ(0.0f, plugin->duration());
    EXPECT_EQ(1, service.Count(Kind::GetDuration));
    plugin->duration(); // outstanding: no second request
    EXPECT_EQ(1, service.Count(Kind::GetDuration));
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 42);
    EXPECT_EQ(42.0f, plugin->duration());
    FakeClock::Advance(5.0);
    plugin->duration();
    EXPECT_EQ(1, service.Count(Kind::GetDuration));
    FakeClock::Advance(1e-9);
    Deliver(SIG_ID_MPLAYER_STATE_CHANGED_IND, 3);
    EXPECT_EQ(42.0f, plugin->duration());
    EXPECT_EQ(2, service.Count(Kind::GetDuration));
}

TEST_F(Clock, RangesSpanFromZeroToTheDuration) {
    VideoPlugin::TimeRanges seekable = plugin->seekable();
    ASSERT_EQ(1u, seekable.size());
    EXPECT_EQ(0.0f, seekable[0].start);
    EXPECT_EQ(0.0f, seekable[0].end);
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 90);
    seekable = plugin->seekable();
    ASSERT_EQ(1u, seekable.size());
    EXPECT_EQ(90.0f, seekable[0].end);
    VideoPlugin::TimeRanges buffered = plugin->buffered();
    ASSERT_EQ(1u, buffered.size());
    EXPECT_EQ(0.0f, buffered[0].start);
    EXPECT_EQ(90.0f, buffered[0].end);
    EXPECT_EQ(90.0f, plugin->maxTimeSeekable());
    EXPECT_EQ(1, SyslogCapture::Count("maxTimeSeekable(): duration = 90"));
}

TEST_F(Clock, OnlyTheLatestNextSecondTimerFires) {
    // Two position answers in one drain: the second replaces the first timer.
    for (int64_t ms : {5900, 7800}) {
        auto msg = Make(SIG_ID_MPLAYER_GET_CUR_POS_RESP);
        SetPosition(*msg, ms);
        service.Post(msg);
    }
    service.WaitUntilDelivered();
    RunPendingEvents();
    auto calls = TimeoutRecorder::Calls();
    std::vector<TimeoutCall> timers;
    for (auto const& call : calls) {
        if (call.interval != 0) {
            timers.push_back(call);
        }
    }
    ASSERT_EQ(2u, timers.size());
    EXPECT_EQ(100u, timers[0].interval);
    EXPECT_EQ(200u, timers[1].interval);
    EXPECT_FALSE(TimeoutRecorder::IsLive(timers[0].id));
    EXPECT_EQ(2, browser.Count("timeChanged")); // the two position changes
    RunUntil([&] { return !TimeoutRecorder::IsLive(timers[1].id); });
    RunUntil([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_EQ(3, browser.Count("timeChanged"));
    EXPECT_EQ(1, SyslogCapture::Count("callbackNextSecond(): html5-video-plugin: "));
    EXPECT_EQ(1, SyslogCapture::Count("startNextSecondTimer(int32_t): removing "
                                      "m_sourceTagNextSecond"));
}

// Faults of the field: answers that never come, a wall clock set back, a
// double pause, a position extrapolated past the end.
TEST_F(Clock, RequestsUnansweredForFiveSecondsAreAskedAgain) {
    PlayingAt(0);
    struct Row {
        Kind kind;
        std::function<void()> ask;
    } const rows[] = {{Kind::GetCurPos, [&] { plugin->currentTime(); }},
                      {Kind::GetDuration, [&] { plugin->duration(); }},
                      {Kind::SeekTo, [&] { plugin->seek(3.0f); }}};
    FakeClock::Advance(1.5);
    for (Row const& row : rows) {
        row.ask();
        row.ask(); // outstanding: not asked twice
    }
    FakeClock::Advance(5.01);
    for (Row const& row : rows) {
        row.ask();
        EXPECT_EQ(2, service.Count(row.kind)) << static_cast<int>(row.kind);
    }
    EXPECT_EQ(3, SyslogCapture::Count("request: counted as lost"));
}

TEST_F(Clock, AClockSetBackNeverRewindsThePositionAndAsksAgain) {
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 7200);
    PlayingAt(10000);
    FakeClock::Advance(-3600.0);
    EXPECT_EQ(10.0f, plugin->currentTime());
    EXPECT_EQ(7200.0f, plugin->duration());
    EXPECT_EQ(1, service.Count(Kind::GetCurPos));
    EXPECT_EQ(1, service.Count(Kind::GetDuration));
}

TEST_F(Clock, PausingTwiceAddsTheElapsedTimeOnce) {
    PlayingAt(10000);
    FakeClock::Advance(2.0);
    plugin->pause();
    plugin->pause(); // before the player has answered the first
    EXPECT_NEAR(12.0f, HTML5VideoPluginInspector(*plugin).modelCurrentTime(), 1e-4);
    EXPECT_NEAR(12.0f, plugin->currentTime(), 1e-4); // still playing: from the pause on
}

TEST_F(Clock, TheExtrapolatedTimeStopsAtTheDuration) {
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 20);
    PlayingAt(19500);
    FakeClock::Advance(3.0);
    EXPECT_EQ(20.0f, plugin->currentTime());
}

using ClockDeathTest = Clock;

TEST_F(ClockDeathTest, AFailingClockEndsTheProcess) {
#ifdef QUOR_TEST_UNDER_EMULATION
    GTEST_SKIP() << "qemu user-mode emulation cannot run the test program again for the death test";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FakeClock::FailReads();
    EXPECT_EXIT(plugin->play(), ::testing::ExitedWithCode(255), "clock_gettime failed");
    EXPECT_EXIT(plugin->duration(), ::testing::ExitedWithCode(255), "clock_gettime failed");
}

} // namespace
