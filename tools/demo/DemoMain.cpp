// The demo host: plays the browser's part. It loads libquor.so as the
// browser does, asks the plugin's factory about media types, and drives one
// plugin object against the simulated media player service on a glib main
// loop.
#include <dlfcn.h>
#include <glib.h>
#include <limits.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/SimulatedMediaPlayerService.h"
#include "plugin/VideoPlugin.h"
#include "tools/demo/ConsoleBrowser.h"

namespace {

char const kDefaultUrl[] = "http://media.example/clip.mp4?duration=8";

void Usage() {
    std::printf("usage: quor-demo [--library PATH] [--log] [URL]\n"
                "  URL        the clip to play (default %s);\n"
                "             see README.md for its query parameters\n"
                "  --library  the plugin library (default: libquor.so beside tools/)\n"
                "  --log      copy the plugin's syslog lines to stderr\n",
                kDefaultUrl);
}

// libquor.so of the build tree this program belongs to.
std::string DefaultLibrary() {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        return "libquor.so";
    }
    self[n] = '\0';
    std::string dir(self);
    dir = dir.substr(0, dir.rfind('/')); // .../tools
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/libquor.so";
}

void PrintLine(std::string const& line, void*) {
    std::printf("  browser: %s\n", line.c_str());
}

// Runs the default main context until it has nothing left to do at once.
void RunPending() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string url = kDefaultUrl;
    std::string library = DefaultLibrary();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            library = argv[++i];
        } else if (std::strcmp(argv[i], "--log") == 0) {
            openlog("quor-demo", LOG_PERROR, LOG_USER);
        } else if (std::strcmp(argv[i], "--help") == 0 || argv[i][0] == '-') {
            Usage();
            return argv[i][1] == '-' && std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        } else {
            url = argv[i];
        }
    }

    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::fprintf(stderr, "quor-demo: cannot load the plugin: %s\n", dlerror());
        return 1;
    }
    using InitFunction = VideoPlugin::Creator* (*)();
    auto init = reinterpret_cast<InitFunction>(dlsym(handle, "initVideoPlugin"));
    if (init == nullptr) {
        std::fprintf(stderr, "quor-demo: %s has no initVideoPlugin\n", library.c_str());
        return 1;
    }
    VideoPlugin::Creator* creator = init();
    std::printf("Loaded %s\nSupported types:\n", library.c_str());
    for (auto const& type : creator->getSupportedTypes()) {
        std::printf("  %s\n", type.c_str());
    }

    struct Query {
        char const* type;
        char const* codecs;
        char const* keySystem;
        std::string url;
    };
    Query const queries[] = {
        {"video/mp4", "", "", ""},
        {"video/mp4", "avc1.4d401f", "", ""},
        {"video/mp4", "avc1.64001f", "", "http://media.example/a.mp4"},
        {"video/mp4", "", "", "https://media.example/a.mp4"},
        {"video/mp4", "", "", "file:///media/a.mp4"},
        {"application/x-mpegurl", "", "", "http://media.example/live.m3u8"},
        {"video/mp4", "", "com.widevine.alpha", ""},
        {"audio/mp4", "", "", ""},
        {"video/mp4", "", "", url},
    };
    std::printf("supportsType:\n");
    for (auto const& q : queries) {
        std::printf("  %-22s codecs=%-12s keySystem=%-18s url=%-32s -> %d\n", q.type,
                    *q.codecs ? q.codecs : "\"\"", *q.keySystem ? q.keySystem : "\"\"",
                    q.url.empty() ? "\"\"" : q.url.c_str(),
                    static_cast<int>(creator->supportsType(q.type, q.codecs, q.keySystem, q.url)));
    }

    ConsoleBrowser browser(PrintLine, nullptr);
    VideoPlugin::PluginInterface* plugin = creator->create(&browser);
    browser.SetPlugin(plugin);
    std::printf("Opening %s\n", url.c_str());
    plugin->load(url);

    // The service answers on its own thread; the plugin queues the answers
    // and drains them on this main loop.
    SimulatedMediaPlayerService& service = SimulatedMediaPlayerService::Default();
    service.WaitIdle();
    RunPending();

    std::printf("network state %d, ready state %d\n", static_cast<int>(plugin->networkState()),
                static_cast<int>(plugin->readyState()));
    delete plugin;
    service.WaitIdle();
    return 0;
}
