#pragma once

#include "util/QuorExport.h"

// Places the video plane: the platform receives the video rectangle as y, x,
// width, height. The stand-in records it.
QUOR_EXPORT int hbbSetVideoProperties_RPC(int y, int x, int width, int height);

// Stand-in only: the last rectangle passed to hbbSetVideoProperties_RPC and
// the number of calls so far.
struct VideoPlaneRectangle {
    int x;
    int y;
    int width;
    int height;
    int calls;
};
QUOR_EXPORT VideoPlaneRectangle LastVideoProperties();
