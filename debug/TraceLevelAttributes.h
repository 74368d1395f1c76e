#pragma once

#include <syslog.h>

#include "debug/TraceLevels.h"

// How a trace line of a level is rendered: its colour on the screen and its
// syslog priority.

// The colour sequence of a level, or null for a level shown without colour
// (among them the plain and numbered levels 10-13, 20-23, 31-33 and 60).
constexpr char const* TraceLevelColor(T_TraceLevel level) {
    switch (level) {
    case TRACELEVEL_DEBUG_CYAN:
    case TRACELEVEL_INFO_CYAN:
    case TRACELEVEL_SYSINFO_CYAN:
        return "\033[36m";
    case TRACELEVEL_DEBUG_GREEN:
    case TRACELEVEL_INFO_GREEN:
    case TRACELEVEL_SYSINFO_GREEN:
        return "\033[32m";
    case TRACELEVEL_DEBUG_MAGENTA:
    case TRACELEVEL_INFO_MAGENTA:
    case TRACELEVEL_SYSINFO_MAGENTA:
        return "\033[35m";
    case TRACELEVEL_DEBUG_BLUE:
    case TRACELEVEL_INFO_BLUE:
    case TRACELEVEL_SYSINFO_BLUE:
        return "\033[34m";
    case TRACELEVEL_WARNING:
        return "\033[33m";
    case TRACELEVEL_ERROR:
        return "\033[31m";
    case TRACELEVEL_FATAL:
        return "\033[1m\033[31m";
    default:
        return nullptr;
    }
}

// What follows a coloured line.
constexpr char const traceColorReset[] = "\033[0m";

// The syslog priority of a level, without the facility.
constexpr int TraceLevelSyslogPriority(T_TraceLevel level) {
    if (level >= TRACELEVEL_SYSINFO) {
        return LOG_ALERT;
    }
    if (level >= TRACELEVEL_FATAL) {
        return LOG_CRIT;
    }
    if (level >= TRACELEVEL_ERROR) {
        return LOG_ERR;
    }
    if (level >= TRACELEVEL_WARNING) {
        return LOG_WARNING;
    }
    if (level >= TRACELEVEL_INFO) {
        return LOG_INFO;
    }
    if (level >= TRACELEVEL_DEBUG) {
        return LOG_DEBUG;
    }
    return LOG_NOTICE;
}
