#include "tools/demo/DemoPlayback.h"

#include <cstdio>

namespace {
constexpr guint kTickMs = 50;
constexpr guint kPaintMs = 40; // 25 frames per second
constexpr double kReadyTimeout = 5.0;
constexpr double kStallTimeout = 3.0;

std::string Seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}
} // namespace

DemoPlayback::DemoPlayback(VideoPlugin::PluginInterface& plugin, ConsoleBrowser& browser,
                           ConsoleOutput& out, SimulatedMediaPlayerService& service)
    : m_plugin(plugin), m_browser(browser), m_out(out), m_service(service) {}

std::string DemoPlayback::Run(std::string const& url) {
    m_loop = g_main_loop_new(nullptr, FALSE);
    Enter(Phase::Opening);
    m_out.Line("load " + url);
    m_plugin.load(url);
    guint tick = g_timeout_add(kTickMs, &DemoPlayback::OnTick, this);
    guint paint = g_timeout_add(kPaintMs, &DemoPlayback::OnPaint, this);
    g_main_loop_run(m_loop);
    g_source_remove(tick);
    g_source_remove(paint);
    g_main_loop_unref(m_loop);
    m_out.Finish();
    return m_failure;
}

gboolean DemoPlayback::OnTick(gpointer self) {
    static_cast<DemoPlayback*>(self)->Tick();
    return G_SOURCE_CONTINUE;
}

gboolean DemoPlayback::OnPaint(gpointer self) {
    auto* demo = static_cast<DemoPlayback*>(self);
    if (demo->m_phase != Phase::Opening) {
        demo->m_plugin.paint(nullptr, {0, 0, 1280, 720});
    }
    return G_SOURCE_CONTINUE;
}

double DemoPlayback::Elapsed() const {
    return static_cast<double>(g_get_monotonic_time() - m_phaseStart) / 1e6;
}

void DemoPlayback::Enter(Phase phase) {
    m_phase = phase;
    m_phaseStart = g_get_monotonic_time();
}

void DemoPlayback::Fail(std::string const& why) {
    m_failure = why;
    Enter(Phase::Done);
    g_main_loop_quit(m_loop);
}

void DemoPlayback::Tick() {
    if (m_phase == Phase::Done) {
        return;
    }
    auto failures = m_service.Failures();
    if (!failures.empty()) {
        std::string why = "the media player reported: " + failures[0];
        for (std::size_t i = 1; i < failures.size(); ++i) {
            why += "; " + failures[i];
        }
        Fail(why);
        return;
    }

    if (m_phase == Phase::Opening) {
        if (m_browser.readyState() >= VideoPlugin::HaveFutureData) {
            m_out.Line("ready: play");
            m_plugin.play();
            Enter(Phase::Playing);
            m_lastMove = g_get_monotonic_time();
        } else if (Elapsed() > kReadyTimeout) {
            Fail("the clip did not get ready within " + Seconds(kReadyTimeout) +
                 " (network state " + std::to_string(m_browser.networkState()) + ", ready state " +
                 std::to_string(m_browser.readyState()) + ")");
        }
        return;
    }

    // A page's progress bar polls the position.
    float position = m_plugin.currentTime();
    float duration = m_browser.duration();
    m_out.Progress(position, duration, m_browser.readyState(), m_browser.networkState());
    if (position != m_lastPosition) {
        m_lastPosition = position;
        m_lastMove = g_get_monotonic_time();
    }

    if (m_phase == Phase::Pausing) {
        if (Elapsed() >= 1.0) {
            m_out.Line("play again");
            m_plugin.play();
            Enter(Phase::Playing);
            m_lastMove = g_get_monotonic_time();
        }
        return;
    }

    if (duration > 0 && m_plugin.paused() && position >= duration - 0.01f) {
        m_out.Line("ended at " + Seconds(position));
        Enter(Phase::Done);
        g_main_loop_quit(m_loop);
        return;
    }
    if (!m_seeked && duration > 0 && position >= duration / 4) {
        m_seeked = true;
        m_out.Line("seek to " + Seconds(duration * 0.6));
        m_plugin.seek(duration * 0.6f);
    } else if (m_seeked && !m_paused && !m_plugin.seeking() && position >= duration * 0.7f) {
        m_paused = true;
        m_out.Line("pause for a second");
        m_plugin.pause();
        Enter(Phase::Pausing);
        return;
    }
    if (static_cast<double>(g_get_monotonic_time() - m_lastMove) / 1e6 > kStallTimeout) {
        Fail("playback stalled at " + Seconds(position));
    }
}
