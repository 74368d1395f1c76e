// What the browser pays for its frequent questions while a clip plays:
// currentTime() and duration() against a plain virtual getter and one that
// reads the clock as currentTime() must, with the plugin's info lines masked
// off as on a production set-top box.
#include <benchmark/benchmark.h>
#include <glib.h>
#include <syslog.h>
#include <time.h>

#include "platform/MediaPlayerInterface.h"
#include "platform/MediaPlayerMessages.h"
#include "plugin/HTML5VideoPlugin.h"

namespace {

// A service that accepts every request and never answers: after the first
// position and duration requests, both stay outstanding, as while the real
// service is busy.
class SilentService : public MediaPlayerService {
public:
    bool HandleRequest(MediaPlayerRequest const&) override { return true; }
};

class NullBrowser : public VideoPlugin::BrowserInterface {
public:
    void networkStateChanged() override {}
    void readyStateChanged() override {}
    void volumeChanged() override {}
    void muteChanged() override {}
    void timeChanged() override {}
    void sizeChanged() override {}
    void rateChanged() override {}
    void repaint() override {}
    void durationChanged() override {}
    void sawUnsupportedTracks() override {}
    void engineUpdated() override {}
    void playbackStateChanged() override {}
    bool isVisible() override { return true; }
    float contentsScale() override { return 1.0f; }
    void firstVideoFrameAvailable() override {}
    void paintVideoArea(VideoPlugin::GraphicsContext*, VideoPlugin::Rectangle const&) override {}
};

// A plugin whose player is playing at 10 s of a 60 s clip.
struct PlayingPlugin {
    PlayingPlugin() {
        MediaPlayerInterface::GetInstance()->SetService(&service);
        setlogmask(LOG_UPTO(LOG_WARNING));
        plugin = new HTML5VideoPlugin(&browser);
        Deliver(MediaPlayerMessages::Make(SIG_ID_MPLAYER_STATE_CHANGED_IND, 3));
        auto base = MediaPlayerMessages::Make(SIG_ID_MPLAYER_NEW_BASE_TIME_IND);
        MediaPlayerMessages::SetNewBaseTime(*base, 1, 10000, 60);
        Deliver(base);
    }
    ~PlayingPlugin() {
        delete plugin;
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        MediaPlayerInterface::GetInstance()->SetService(nullptr);
        setlogmask(LOG_UPTO(LOG_DEBUG));
    }
    void Deliver(MediaPlayerMessages::MessagePtr msg) {
        static_cast<PluginBase*>(plugin)->ProcessQuorMsg(msg.get());
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
    }
    SilentService service;
    NullBrowser browser;
    HTML5VideoPlugin* plugin = nullptr;
};

void BM_CurrentTimeWhilePlaying(benchmark::State& state) {
    PlayingPlugin playing;
    VideoPlugin::PluginInterface* plugin = playing.plugin;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plugin->currentTime());
    }
}
BENCHMARK(BM_CurrentTimeWhilePlaying);

void BM_DurationWhilePlaying(benchmark::State& state) {
    PlayingPlugin playing;
    VideoPlugin::PluginInterface* plugin = playing.plugin;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plugin->duration());
    }
}
BENCHMARK(BM_DurationWhilePlaying);

// The yardstick: a virtual getter that returns a member.
class Getter {
public:
    virtual ~Getter() = default;
    virtual float value() = 0;
};
class PlainGetter : public Getter {
public:
    float value() override { return m_value; }
    float m_value = 10.0f;
};

void BM_PlainVirtualGetter(benchmark::State& state) {
    PlainGetter concrete;
    Getter* getter = &concrete;
    benchmark::DoNotOptimize(getter);
    for (auto _ : state) {
        benchmark::DoNotOptimize(getter->value());
    }
}
BENCHMARK(BM_PlainVirtualGetter);

// What currentTime() cannot do without: a virtual getter that reads the
// system clock and adds it to a member.
class ClockGetter : public Getter {
public:
    float value() override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return m_value + static_cast<float>(now.tv_nsec) * 1e-9f;
    }
    float m_value = 10.0f;
};

void BM_VirtualGetterWithClock(benchmark::State& state) {
    ClockGetter concrete;
    Getter* getter = &concrete;
    benchmark::DoNotOptimize(getter);
    for (auto _ : state) {
        benchmark::DoNotOptimize(getter->value());
    }
}
BENCHMARK(BM_VirtualGetterWithClock);

} // namespace

BENCHMARK_MAIN();
