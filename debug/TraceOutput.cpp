#include "debug/TraceOutput.h"

#include <syslog.h>

#include <cstdio>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"

void PrintTraceTextToScreen(char const* text) {
    if (quorTrace.IsTracingToScreen()) {
        std::printf("%s", text);
        std::fflush(stdout);
    }
}

void OutputTraceText(char const* text, int syslogPriority) {
    if (quorTraceUseSyslog.load(std::memory_order_relaxed)) {
        syslog(syslogPriority, "%s", text);
    } else {
        PrintTraceTextToScreen(text);
    }
}
