// Loads libquor.so with dlopen, as the television's browser does, and asks
// the plugin's factory what it plays.
#include <dlfcn.h>

#include <cstdio>

#include "plugin/VideoPlugin.h"

int main() {
    void* plugin = dlopen(QUOR_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    if (plugin == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    using Init = VideoPlugin::Creator* (*)();
    auto init = reinterpret_cast<Init>(dlsym(plugin, "initVideoPlugin"));
    VideoPlugin::Creator* creator = init != nullptr ? init() : nullptr;
    if (creator == nullptr) {
        std::fprintf(stderr, "no initVideoPlugin in %s\n", QUOR_PLUGIN);
        return 1;
    }
    bool const mp4 =
        creator->supportsType("video/mp4", "", "http://tv/a.mp4") == VideoPlugin::IsSupported;
    std::printf("%zu types, video/mp4 %s\n", creator->getSupportedTypes().size(),
                mp4 ? "supported" : "not supported");
    return mp4 ? 0 : 1;
}
