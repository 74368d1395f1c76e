#include "debug/QuorTrace.h"

#include <syslog.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceLevelAttributes.h"
#include "debug/TraceLineFormat.h"
#include "debug/TraceOutput.h"
#include "util/Strlcpy.h"

namespace {

// Queued plain output has no level; it goes to syslog as information.
constexpr int plainOutputSyslogPriority = LOG_INFO;

// Where the report sends a reader: the facility's source in the platform tree.
constexpr char traceModuleSource[] = "applications/2_general/debug/src/QuorTrace";

void ReportTraceUnitOutOfRange(unsigned unit) {
    std::ostringstream text;
    text << "Traceunit out of range: " << unit << " (max. allowed value = " << QUOR_TRACE_MAX_UNITS
         << ") see file: " << traceModuleSource << "\n";
    StreamToStdout(text);
}

void QueueTraceLine(T_TraceLevel level, unsigned short sequenceNumber, char const* colour,
                    int syslogPriority, char const* format, va_list args) {
    T_TraceElement* const element = quorTraceThread.GetFreeTraceSlot(sequenceNumber);
    if (element == nullptr) {
        return; // ring full: the printer marks the gap in the numbers
    }
    element->syslogPriority = syslogPriority;
    FormatQueuedTraceLine(element->text, quorTrace.AreTimestampsOn(), sequenceNumber, colour,
                          format, args);
    quorTraceThread.PutTraceString();
    // A fatal line gets time to reach its output before the caller goes on,
    // possibly to end the process.
    if (level == TRACELEVEL_FATAL) {
        sleep(2);
    }
}

void PrintTraceLineDirectly(unsigned short sequenceNumber, char const* colour, int syslogPriority,
                            char const* format, va_list args) {
    char line[traceLineSize];
    // syslog stamps its lines itself.
    bool const withTimestamp =
        !quorTraceUseSyslog.load(std::memory_order_relaxed) && quorTrace.AreTimestampsOn();
    std::size_t const length =
        FormatDirectTraceLine(line, withTimestamp, sequenceNumber, colour, format, args);
    OutputTraceText(line, syslogPriority);
    if (quorTrace.IsTracingToFile() &&
        quorTraceWriteToLogfileIfDirectPrint.load(std::memory_order_relaxed)) {
        quorTrace.WriteToLogfile(line, length);
    }
}

// The accepted line: everything after the level filter, kept out of the entry
// point so that a suppressed call costs only the filter.
__attribute__((noinline)) void ProduceTraceLine(T_TraceLevel level, char const* format,
                                                va_list args) {
    auto const sequenceNumber =
        static_cast<unsigned short>(quorTraceCtr.fetch_add(1, std::memory_order_relaxed) + 1);
    char const* const colour =
        quorTraceWithColors.load(std::memory_order_relaxed) ? TraceLevelColor(level) : nullptr;
    int const syslogPriority =
        TraceLevelSyslogPriority(level) | quorSyslogFacility.load(std::memory_order_relaxed);
    if (quorTraceDirectPrint.load(std::memory_order_relaxed)) {
        PrintTraceLineDirectly(sequenceNumber, colour, syslogPriority, format, args);
    } else {
        QueueTraceLine(level, sequenceNumber, colour, syslogPriority, format, args);
    }
}

// Takes a ring slot for plain output; null when the ring is full.
T_TraceElement* GetPlainOutputSlot() {
    T_TraceElement* const element = quorTraceThread.GetFreeTraceSlot(0);
    if (element != nullptr) {
        element->syslogPriority =
            plainOutputSyslogPriority | quorSyslogFacility.load(std::memory_order_relaxed);
    }
    return element;
}

} // namespace

void TraceFormattedString(unsigned unit, int level, char const* format, ...) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        ReportTraceUnitOutOfRange(unit);
        return;
    }
    if (level < quorTrace.GetTraceActivationState(unit)) {
        return;
    }
    va_list args;
    va_start(args, format);
    ProduceTraceLine(level, format, args);
    va_end(args);
}

void TraceStream(unsigned unit, int level, std::ostringstream const& text) {
    if (unit >= QUOR_TRACE_MAX_UNITS) {
        ReportTraceUnitOutOfRange(unit);
        return;
    }
    if (level < quorTrace.GetTraceActivationState(unit)) {
        return;
    }
    std::string const copy = text.str();
    TraceFormattedString(unit, level, "%s", copy.c_str());
}

void FormattedStringToStdout(char const* format, ...) {
    va_list args;
    va_start(args, format);
    if (!quorTraceDirectPrint.load(std::memory_order_relaxed)) {
        if (T_TraceElement* const element = GetPlainOutputSlot()) {
            if (std::vsnprintf(element->text, traceLineSize - 1, format, args) < 0) {
                element->text[0] = '\0';
            }
            element->text[traceLineSize - 1] = '\0';
            quorTraceThread.PutTraceString();
        }
    } else {
        char line[traceLineSize];
        if (std::vsnprintf(line, traceLineSize - 1, format, args) < 0) {
            line[0] = '\0';
        }
        line[traceLineSize - 1] = '\0';
        PrintTraceTextToScreen(line);
    }
    va_end(args);
}

void StreamToStdout(std::ostringstream const& text) {
    StringToStdout(text.str().c_str());
}

void StringToStdout(char const* text) {
    if (!quorTraceDirectPrint.load(std::memory_order_relaxed)) {
        if (T_TraceElement* const element = GetPlainOutputSlot()) {
            strlcpy(element->text, text, traceLineSize);
            quorTraceThread.PutTraceString();
        }
    } else {
        PrintTraceTextToScreen(text);
    }
}
