#pragma once

#include <string>
#include <vector>

#include "plugin/VideoPlugin.h"
#include "util/QuorExport.h"

// The media types the plugin advertises, each "MIME type:extension:
// description;", followed by a null pointer. The fourth string holds three.
QUOR_EXPORT extern char const* const html5VideoPluginSupportedTypes[];

// The plugin's factory. It claims MP4 video and HLS playlists on the plain
// HTTP scheme, and creates one HTML5VideoPlugin per media element.
class QUOR_EXPORT HTML5VideoPluginCreator final : public VideoPlugin::Creator {
public:
    VideoPlugin::PluginInterface* create(VideoPlugin::BrowserInterface* browserInterface) override;
    std::vector<std::string> getSupportedTypes() override;
    VideoPlugin::SupportsType supportsType(std::string const& type, std::string const& codecs,
                                           std::string const& keySystem,
                                           std::string const& url) override;
    VideoPlugin::SupportsType supportsType(std::string const& type, std::string const& codecs,
                                           std::string const& url) override;
};

// The entry point the browser looks up: a new factory per call, never freed.
extern "C" QUOR_EXPORT VideoPlugin::Creator* initVideoPlugin();
