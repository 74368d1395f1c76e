#include "platform/HbbVideoProperties.h"

#include <mutex>

namespace {
std::mutex videoPlaneMutex;
VideoPlaneRectangle videoPlane = {0, 0, 0, 0, 0};
} // namespace

int hbbSetVideoProperties_RPC(int y, int x, int width, int height) {
    std::lock_guard<std::mutex> lock(videoPlaneMutex);
    videoPlane = {x, y, width, height, videoPlane.calls + 1};
    return 0;
}

VideoPlaneRectangle LastVideoProperties() {
    std::lock_guard<std::mutex> lock(videoPlaneMutex);
    return videoPlane;
}
