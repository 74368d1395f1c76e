#include "debug/CQuorTrace.h"

#include <cstdio>

#include "debug/QuorTraceLevelNames.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTimestamp.h"
#include "debug/TraceUnitLookup.h"

namespace {

constexpr int traceUnitOutOfRange = -1600;

constexpr char const defaultLogDirectory[] = "/mnt/share/extUSB/sda1/quoralog/";
constexpr char const defaultLogName[] = "quortrc";
constexpr char const defaultLogExtension[] = ".log";
constexpr char const defaultBackupExtension[] = ".bak";
constexpr long defaultMaxLogSize = 100000000;

} // namespace

CQuorTrace::CQuorTrace()
    : m_LogFile(defaultLogDirectory, defaultLogName, defaultMaxLogSize, defaultLogExtension,
                defaultBackupExtension),
      m_savedMaxLogSize(m_LogFile.GetMaxSize()) {
    for (auto& level : m_activationLevel) {
        level.store(TRACELEVEL_WARNING, std::memory_order_relaxed);
    }
}

CQuorTrace::~CQuorTrace() {
    // Destructors of other global objects that run later may still trace;
    // they must not reach the log file, which goes now.
    m_tracingToFile.store(false, std::memory_order_relaxed);
}

char const* CQuorTrace::GetTraceUnitNamePtr(unsigned unit) {
    return TraceUnitNamePtr(unit);
}

unsigned CQuorTrace::GetTraceUnitNrByName(char const* name) {
    return TraceUnitNrByName(name);
}

T_TraceLevel CQuorTrace::GetTraceLevelNrByName(char const* name) {
    return TraceLevelNrByName(name);
}

char const* CQuorTrace::GetTraceLevelNamePtr(unsigned level) {
    return TraceLevelNamePtr(level);
}

T_TraceLevel CQuorTrace::ConvertTraceLevel(T_TraceLevel level) {
    switch (level) {
    case TRACELEVEL_DEBUG_OLD:
    case TRACELEVEL_INFO_OLD:
        return TRACELEVEL_DEBUG;
    case TRACELEVEL_WARNING_OLD:
        return TRACELEVEL_WARNING;
    case TRACELEVEL_ERROR_OLD:
        return TRACELEVEL_ERROR;
    case TRACELEVEL_FATAL_OLD:
        return TRACELEVEL_FATAL;
    case TRACELEVEL_SYSINFO_OLD:
        return TRACELEVEL_SYSINFO;
    default:
        return level;
    }
}

int CQuorTrace::SetTraceOn(unsigned unit, T_TraceLevel level) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        return traceUnitOutOfRange;
    }
    m_activationLevel[unit].store(ConvertTraceLevel(level), std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::SetTraceOn(char const* unitName, char const* levelName) {
    unsigned const unit = GetTraceUnitNrByName(unitName);
    // Unit 0 is also what an unknown name gives.
    if (unit == 0) {
        return traceUnitOutOfRange;
    }
    return SetTraceOn(unit, GetTraceLevelNrByName(levelName));
}

int CQuorTrace::SetTraceOff(unsigned unit) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        return traceUnitOutOfRange;
    }
    m_activationLevel[unit].store(TRACELEVEL_NO_TRACE, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::SetTraceOnAll(T_TraceLevel level) {
    T_TraceLevel const converted = ConvertTraceLevel(level);
    for (auto& entry : m_activationLevel) {
        entry.store(converted, std::memory_order_relaxed);
    }
    return 0;
}

int CQuorTrace::SetTraceOffAll() {
    for (auto& entry : m_activationLevel) {
        entry.store(TRACELEVEL_NO_TRACE, std::memory_order_relaxed);
    }
    return 0;
}

int CQuorTrace::SetTraceModeDirectPrint(int on) {
    quorTraceDirectPrint.store(on != 0, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::SetTraceModeWriteToLogfileIfDirectPrint(int on) {
    quorTraceWriteToLogfileIfDirectPrint.store(on != 0, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::SetTraceModeUseSyslog(int on) {
    // syslog adds its own process tag, so its lines carry no prefix.
    if (on != 0) {
        quorTraceUseSyslog.store(true, std::memory_order_relaxed);
        quorTraceProcessPrefix.Clear();
    } else {
        quorTraceUseSyslog.store(false, std::memory_order_relaxed);
        quorTraceProcessPrefix.RestoreInitial();
    }
    return 0;
}

int CQuorTrace::SetTraceWithColors(int on) {
    quorTraceWithColors.store(on != 0, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::StartTracingToScreen() {
    m_tracingToScreen.store(true, std::memory_order_relaxed);
    return 0;
}

int CQuorTrace::StopTracingToScreen() {
    m_tracingToScreen.store(false, std::memory_order_relaxed);
    std::puts("\nCQuorTrace::StopTracingToScreen called ==!!!==");
    return 0;
}

int CQuorTrace::PrintTimestampToCharString(char* buffer) {
    return FormatTraceTimestamp(buffer);
}

void CQuorTrace::PrintTimestamp() {
    char timestamp[traceTimestampSize];
    int const length = FormatTraceTimestamp(timestamp);
    std::size_t const written =
        length > 0 ? std::fwrite(timestamp, 1, static_cast<std::size_t>(length), stdout) : 0;
    if (written == 0) {
        std::puts("\nCQuorTrace::PrintTimestamp failed");
    }
}

int CQuorTrace::SetPrintToScreenFunction(int (*function)(char const*)) {
    m_printToScreenFunction.store(function, std::memory_order_release);
    return 0;
}

int CQuorTrace::SetInitialInfoWhenTracingToFileStartsFunction(void (*function)()) {
    m_initialInfoFunction.store(function, std::memory_order_release);
    return 0;
}
