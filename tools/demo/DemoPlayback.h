#pragma once

#include <glib.h>

#include <string>

#include "platform/SimulatedMediaPlayerService.h"
#include "plugin/VideoPlugin.h"
#include "tools/demo/ConsoleBrowser.h"
#include "tools/demo/ConsoleOutput.h"

// Plays one clip through the plugin on the glib main loop, as a page with a
// video element does: load, play once ready, seek from the first quarter to
// 60 %, pause for a second at 70 %, play on to the end, painting all along.
class DemoPlayback {
public:
    DemoPlayback(VideoPlugin::PluginInterface& plugin, ConsoleBrowser& browser, ConsoleOutput& out,
                 SimulatedMediaPlayerService& service);

    // Plays url to its end. Empty, or why the clip failed.
    std::string Run(std::string const& url);

private:
    enum class Phase { Opening, Playing, Pausing, Done };

    static gboolean OnTick(gpointer self);
    static gboolean OnPaint(gpointer self);
    void Tick();
    void Fail(std::string const& why);
    double Elapsed() const; // seconds since the current phase began
    void Enter(Phase phase);

    VideoPlugin::PluginInterface& m_plugin;
    ConsoleBrowser& m_browser;
    ConsoleOutput& m_out;
    SimulatedMediaPlayerService& m_service;
    GMainLoop* m_loop = nullptr;
    Phase m_phase = Phase::Opening;
    gint64 m_phaseStart = 0;
    bool m_seeked = false;
    bool m_paused = false;
    float m_lastPosition = -1;
    gint64 m_lastMove = 0;
    std::string m_failure;
};
