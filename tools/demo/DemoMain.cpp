// The demo host: plays the browser's part. It loads libquor.so as the
// browser does, asks the plugin's factory about media types, and plays one
// clip through a plugin object against the simulated media player service on
// a glib main loop. Before it plays it starts the runtime as the browser
// process does: trace output above the progress line, the debug shell on its
// default name, tracing to a trace directory. Exit status 0 when the clip played to its end, 1 when
// it failed, 2 for a bad command line.
#include <dlfcn.h>
#include <glib.h>
#include <limits.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/HbbVideoProperties.h"
#include "platform/SimulatedMediaPlayerService.h"
#include "plugin/VideoPlugin.h"
#include "shell/QshellWire.h"
#include "tools/demo/ConsoleBrowser.h"
#include "tools/demo/ConsoleOutput.h"
#include "tools/demo/DemoPlayback.h"
#include "tools/host/RuntimeStartup.h"

namespace {

// The browser keeps the plugin's factory for the life of the process.
VideoPlugin::Creator* creator = nullptr;

char const kDefaultUrl[] = "http://media.example/clip.mp4?duration=8";

void Usage() {
    std::printf("usage: quor-demo [--library PATH] [--log] [URL]\n"
                "  URL        the clip to play (default %s);\n"
                "             see README.md for its query parameters\n"
                "  --library  the plugin library (default: the build tree's or the installed one)\n"
                "  --log      copy the plugin's syslog lines to stderr\n",
                kDefaultUrl);
}

// libquor.so of the build tree this program belongs to; an installed demo
// has none beside it and loads the installed library by its SONAME, which
// its run path finds.
std::string DefaultLibrary() {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        return QUOR_LIBRARY_SONAME;
    }
    self[n] = '\0';
    std::string dir(self);
    dir = dir.substr(0, dir.rfind('/')); // .../tools
    dir = dir.substr(0, dir.rfind('/'));
    std::string const buildTreeLibrary = dir + "/libquor.so";
    return access(buildTreeLibrary.c_str(), F_OK) == 0 ? buildTreeLibrary : QUOR_LIBRARY_SONAME;
}

void PrintNotification(std::string const& line, void* out) {
    static_cast<ConsoleOutput*>(out)->Line("  browser: " + line);
}

// Where the runtime's trace lines go: above the progress line.
ConsoleOutput* traceConsole = nullptr;

void TraceToConsole(char const* text) {
    traceConsole->Text(text);
}

// Starts the runtime as the television's browser process does, through the
// start-up module that lies beside the library; returns its stop function,
// null when there is no module.
T_QuorHostStopRuntime StartRuntime(std::string const& library, ConsoleOutput* out) {
    std::string::size_type const slash = library.rfind('/');
    std::string const module =
        (slash == std::string::npos ? "" : library.substr(0, slash + 1)) + "libquor-host-start.so";
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto start = reinterpret_cast<T_QuorHostStartRuntime>(
        handle != nullptr ? dlsym(handle, "QuorHostStartRuntime") : nullptr);
    auto stop = reinterpret_cast<T_QuorHostStopRuntime>(
        handle != nullptr ? dlsym(handle, "QuorHostStopRuntime") : nullptr);
    if (start == nullptr || stop == nullptr) {
        std::printf("No runtime start-up (%s): playing without traces and debug shell.\n",
                    dlerror());
        return nullptr;
    }
    traceConsole = out;
    T_HostRuntimeOptions const options = {"quor-demo", nullptr, "", &TraceToConsole};
    if (start(&options) == 1) {
        std::printf("The debug shell serves /tmp/%s: try quor-shell q_tracestate\n",
                    QSHELL_SERVER_NAME);
    }
    std::fflush(stdout);
    return stop;
}

} // namespace

int main(int argc, char** argv) {
    std::string url = kDefaultUrl;
    std::string library = DefaultLibrary();
    bool logToStderr = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            library = argv[++i];
        } else if (std::strcmp(argv[i], "--log") == 0) {
            logToStderr = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || argv[i][0] == '-') {
            Usage();
            return argv[i][1] == '-' && std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        } else {
            url = argv[i];
        }
    }

    // Like the browser, own the default main context before any other thread
    // starts (the simulated player's among them).
    g_main_context_default();

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
    creator = init();
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

    ConsoleOutput out(stdout);
    T_QuorHostStopRuntime const stopRuntime = StartRuntime(library, &out);
    if (logToStderr) {
        // After the runtime's own openlog, which would drop the copy.
        openlog("quor-demo", LOG_PERROR, LOG_USER);
    }
    ConsoleBrowser browser(&PrintNotification, &out);
    VideoPlugin::PluginInterface* plugin = creator->create(&browser);
    browser.SetPlugin(plugin);

    // The simulated player answers on its own thread; the plugin queues the
    // answers and handles them on this thread's main loop.
    SimulatedMediaPlayerService& service = SimulatedMediaPlayerService::Default();
    std::string failure = DemoPlayback(*plugin, browser, out, service).Run(url);
    std::printf("Painted %d frames; the video plane is at %dx%d.\n", browser.paints(),
                LastVideoProperties().width, LastVideoProperties().height);
    delete plugin; // closes the media
    service.WaitIdle();
    if (stopRuntime != nullptr) {
        stopRuntime();
    }

    std::printf("Notifications by kind:\n");
    for (auto const& count : browser.Counts()) {
        std::printf("  %-22s %d\n", count.first.c_str(), count.second);
    }
    std::printf("Requests sent by kind:\n");
    auto requests = service.RequestCounts();
    for (int i = 0; i < kMediaPlayerRequestKinds; ++i) {
        if (requests[static_cast<std::size_t>(i)] != 0) {
            std::printf("  %-22s %d\n",
                        MediaPlayerRequestName(static_cast<MediaPlayerRequestKind>(i)),
                        requests[static_cast<std::size_t>(i)]);
        }
    }
    std::fflush(stdout); // the verdict comes last, also in a pipe
    if (!failure.empty()) {
        std::fprintf(stderr, "quor-demo: the clip failed: %s\n", failure.c_str());
        return 1;
    }
    std::printf("The clip played to its end.\n");
    return 0;
}
