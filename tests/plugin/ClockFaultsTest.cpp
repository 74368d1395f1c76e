// The playback clock under the faults of the field: answers that never come,
// a wall clock set back, a double pause, a position extrapolated past the end.
#include <functional>

#include "support/FakeClock.h"
#include "support/PluginTestSupport.h"

namespace {

using namespace MediaPlayerMessages;
using Kind = MediaPlayerRequestKind;

class ClockFaults : public PluginTest {
protected:
    void SetUp() override {
        FakeClock::Install(2000.0);
        PluginTest::SetUp();
    }
    void TearDown() override {
        PluginTest::TearDown();
        FakeClock::Uninstall();
    }
    // Playing, at position ms stamped now.
    void PlayingAt(int64_t ms) {
        Deliver(SIG_ID_MPLAYER_STATE_CHANGED_IND, 3);
        auto msg = Make(SIG_ID_MPLAYER_GET_CUR_POS_RESP);
        SetPosition(*msg, ms);
        Deliver(msg);
        service.ClearRequests();
    }
};

TEST_F(ClockFaults, RequestsUnansweredForFiveSecondsAreAskedAgain) {
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

TEST_F(ClockFaults, AClockSetBackNeverRewindsThePositionAndAsksAgain) {
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 7200);
    PlayingAt(10000);
    FakeClock::Advance(-3600.0);
    EXPECT_EQ(10.0f, plugin->currentTime());
    EXPECT_EQ(7200.0f, plugin->duration());
    EXPECT_EQ(1, service.Count(Kind::GetCurPos));
    EXPECT_EQ(1, service.Count(Kind::GetDuration));
}

TEST_F(ClockFaults, PausingTwiceAddsTheElapsedTimeOnce) {
    PlayingAt(10000);
    FakeClock::Advance(2.0);
    plugin->pause();
    plugin->pause(); // before the player has answered the first
    EXPECT_NEAR(12.0f, HTML5VideoPluginInspector(*plugin).modelCurrentTime(), 1e-4);
    EXPECT_NEAR(12.0f, plugin->currentTime(), 1e-4); // still playing: from the pause on
}

TEST_F(ClockFaults, TheExtrapolatedTimeStopsAtTheDuration) {
    Deliver(SIG_ID_MPLAYER_GET_DURATION_RESP, 20);
    PlayingAt(19500);
    FakeClock::Advance(3.0);
    EXPECT_EQ(20.0f, plugin->currentTime());
}

} // namespace
