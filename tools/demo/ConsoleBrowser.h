#pragma once

#include <map>
#include <string>

#include "plugin/VideoPlugin.h"

// The browser's side of one media element, on a console: prints every
// notification (through the console's sink) and reacts to it the way a
// browser does, by reading the value that changed from the plugin.
class ConsoleBrowser : public VideoPlugin::BrowserInterface {
public:
    // Where notification lines go; the demo keeps its progress line below them.
    using Sink = void (*)(std::string const& line, void* context);
    ConsoleBrowser(Sink sink, void* context) : m_sink(sink), m_context(context) {}
    ~ConsoleBrowser() = default;

    void SetPlugin(VideoPlugin::PluginInterface* plugin) { m_plugin = plugin; }

    void networkStateChanged() override;
    void readyStateChanged() override;
    void volumeChanged() override { Note("volumeChanged", ""); }
    void muteChanged() override { Note("muteChanged", ""); }
    void timeChanged() override;
    void sizeChanged() override { Note("sizeChanged", ""); }
    void rateChanged() override { Note("rateChanged", ""); }
    void repaint() override { Note("repaint", ""); }
    void durationChanged() override;
    void sawUnsupportedTracks() override { Note("sawUnsupportedTracks", ""); }
    void engineUpdated() override { Note("engineUpdated", ""); }
    void playbackStateChanged() override;
    bool isVisible() override { return true; }
    float contentsScale() override { return 1.0f; }
    void firstVideoFrameAvailable() override { Note("firstVideoFrameAvailable", ""); }
    void paintVideoArea(VideoPlugin::GraphicsContext* context,
                        VideoPlugin::Rectangle const& rect) override;

    // What the browser last read from the plugin.
    int networkState() const { return m_networkState; }
    int readyState() const { return m_readyState; }
    float currentTime() const { return m_currentTime; }
    float duration() const { return m_duration; }
    bool paused() const { return m_paused; }
    int paints() const { return m_paints; }
    // Notifications received, by name.
    std::map<std::string, int> const& Counts() const { return m_counts; }
    // Whether timeChanged lines are printed (they come every second).
    void SetQuietTime(bool quiet) { m_quietTime = quiet; }

private:
    void Note(char const* name, std::string const& detail);

    Sink m_sink;
    void* m_context;
    VideoPlugin::PluginInterface* m_plugin = nullptr;
    std::map<std::string, int> m_counts;
    int m_networkState = 0;
    int m_readyState = 0;
    float m_currentTime = 0;
    float m_duration = 0;
    bool m_paused = true;
    int m_paints = 0;
    bool m_quietTime = false;
};
