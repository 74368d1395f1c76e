#include "tools/demo/ConsoleBrowser.h"

#include <cstdio>

namespace {
std::string Seconds(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(value));
    return text;
}
} // namespace

void ConsoleBrowser::Note(char const* name, std::string const& detail) {
    ++m_counts[name];
    if (m_sink != nullptr) {
        m_sink(detail.empty() ? std::string(name) : std::string(name) + ": " + detail, m_context);
    }
}

void ConsoleBrowser::networkStateChanged() {
    m_networkState = m_plugin != nullptr ? m_plugin->networkState() : m_networkState;
    Note("networkStateChanged", "network state " + std::to_string(m_networkState));
}

void ConsoleBrowser::readyStateChanged() {
    m_readyState = m_plugin != nullptr ? m_plugin->readyState() : m_readyState;
    Note("readyStateChanged", "ready state " + std::to_string(m_readyState));
}

void ConsoleBrowser::timeChanged() {
    m_currentTime = m_plugin != nullptr ? m_plugin->currentTime() : m_currentTime;
    if (m_quietTime) {
        ++m_counts["timeChanged"];
    } else {
        Note("timeChanged", "current time " + Seconds(m_currentTime));
    }
}

void ConsoleBrowser::durationChanged() {
    m_duration = m_plugin != nullptr ? m_plugin->duration() : m_duration;
    Note("durationChanged", "duration " + Seconds(m_duration));
}

void ConsoleBrowser::playbackStateChanged() {
    m_paused = m_plugin != nullptr ? m_plugin->paused() : m_paused;
    Note("playbackStateChanged", m_paused ? "paused" : "playing");
}

void ConsoleBrowser::paintVideoArea(VideoPlugin::GraphicsContext*, VideoPlugin::Rectangle const&) {
    ++m_paints;
}
