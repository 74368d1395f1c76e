#pragma once

#include <functional>
#include <string>
#include <vector>

#include "plugin/VideoPlugin.h"

// A browser that records, in order, every call the plugin makes on it.
class RecordingBrowser : public VideoPlugin::BrowserInterface {
public:
    void networkStateChanged() override { Record("networkStateChanged"); }
    void readyStateChanged() override { Record("readyStateChanged"); }
    void volumeChanged() override { Record("volumeChanged"); }
    void muteChanged() override { Record("muteChanged"); }
    void timeChanged() override { Record("timeChanged"); }
    void sizeChanged() override { Record("sizeChanged"); }
    void rateChanged() override { Record("rateChanged"); }
    void repaint() override { Record("repaint"); }
    void durationChanged() override { Record("durationChanged"); }
    void sawUnsupportedTracks() override { Record("sawUnsupportedTracks"); }
    void engineUpdated() override { Record("engineUpdated"); }
    void playbackStateChanged() override { Record("playbackStateChanged"); }
    bool isVisible() override {
        Record("isVisible");
        return visible;
    }
    float contentsScale() override {
        Record("contentsScale");
        return 1.0f;
    }
    void firstVideoFrameAvailable() override { Record("firstVideoFrameAvailable"); }
    void paintVideoArea(VideoPlugin::GraphicsContext* context,
                        VideoPlugin::Rectangle const& rect) override {
        Record("paintVideoArea");
        lastContext = context;
        lastRect = rect;
    }

    int Count(std::string const& name) const {
        int n = 0;
        for (auto const& call : calls) {
            n += call == name ? 1 : 0;
        }
        return n;
    }
    void Clear() { calls.clear(); }

    std::vector<std::string> calls;
    std::function<void(std::string const&)> onCall; // after each call is recorded
    bool visible = true;
    VideoPlugin::GraphicsContext* lastContext = nullptr;
    VideoPlugin::Rectangle lastRect = {0, 0, 0, 0};

private:
    void Record(char const* name) {
        calls.emplace_back(name);
        if (onCall) {
            onCall(calls.back());
        }
    }
};
