#include "plugin/HTML5VideoPluginCreator.h"

#include "plugin/HTML5VideoPlugin.h"
#include "plugin/PluginLog.h"

char const* const html5VideoPluginSupportedTypes[] = {
    "video/mpeg:mp4:Video Plugin;",
    "video/mpeg4:mp4:Video Plugin;",
    "video/mp4:mp4:Video Plugin;",
    "application/dash+xml:dash:Video Plugin;application/x-mpegurl:m3u:Audio Plugin;audio/"
    "mpeg:mp4:Audio Plugin;",
    "audio/mp4:mp4:Audio Plugin;",
    "audio/x-ms-asf:wma:Audio Plugin;",
    nullptr,
};

VideoPlugin::Creator* initVideoPlugin() {
    CREATOR_LOG;
    return new HTML5VideoPluginCreator;
}

VideoPlugin::PluginInterface*
HTML5VideoPluginCreator::create(VideoPlugin::BrowserInterface* browserInterface) {
    CREATOR_LOG << "browserInterface=" << static_cast<void*>(browserInterface);
    return new HTML5VideoPlugin(browserInterface);
}

std::vector<std::string> HTML5VideoPluginCreator::getSupportedTypes() {
    CREATOR_LOG;
    std::vector<std::string> types;
    for (char const* const* type = html5VideoPluginSupportedTypes; *type != nullptr; ++type) {
        types.emplace_back(*type);
    }
    return types;
}

VideoPlugin::SupportsType HTML5VideoPluginCreator::supportsType(std::string const& type,
                                                                std::string const& codecs,
                                                                std::string const& keySystem,
                                                                std::string const& url) {
    CREATOR_LOG << "type=" << type << ", codecs=" << codecs << ", keySystem=" << keySystem
                << ", url=" << url;
    if (!keySystem.empty()) {
        return VideoPlugin::IsNotSupported; // no encrypted media
    }
    VideoPlugin::Creator& self = *this; // through the table, as the browser would
    return self.supportsType(type, codecs, url);
}

VideoPlugin::SupportsType HTML5VideoPluginCreator::supportsType(std::string const& type,
                                                                std::string const& codecs,
                                                                std::string const& url) {
    CREATOR_LOG << "type=" << type << ", codecs=" << codecs << ", url=" << url;
    VideoPlugin::SupportsType result = VideoPlugin::IsNotSupported;
    if (type == "video/mp4") {
        result = codecs == "avc1.4d401f" ? VideoPlugin::IsNotSupported : VideoPlugin::IsSupported;
    } else if (type == "application/x-mpegurl") {
        result = VideoPlugin::IsSupported;
    }
    if (!url.empty()) {
        // Only the plain HTTP scheme: "http:" keeps the answer, "https:" and
        // any other scheme refuse; "https" not followed by ':' is not the
        // secure scheme and keeps it too.
        bool plain = url.compare(0, 5, "http:") == 0;
        bool startsHttps = url.compare(0, 5, "https") == 0;
        bool secure = url.compare(0, 6, "https:") == 0;
        if (secure || (!plain && !startsHttps)) {
            result = VideoPlugin::IsNotSupported;
        }
    }
    CREATOR_LOG << "result=" << static_cast<int>(result);
    return result;
}
