#include "debug/TraceTimestamp.h"

#include <sys/time.h>

#include <cstdio>
#include <ctime>

int FormatTraceTimestamp(char* buffer) {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    if (localtime_r(&now.tv_sec, &local) == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    int const written =
        std::snprintf(buffer, traceTimestampSize, "%d-%02d-%02d %02d:%02d:%02d.%03ld ",
                      local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec, static_cast<long>(now.tv_usec) / 1000);
    if (written < 0 || static_cast<std::size_t>(written) >= traceTimestampSize) {
        buffer[0] = '\0';
        return 0;
    }
    return written;
}
