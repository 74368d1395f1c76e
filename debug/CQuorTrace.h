#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "debug/CPwiLog.h"
#include "debug/QuorTrace.h"
#include "debug/QuorTraceUnits.h"
#include "debug/TraceLevels.h"
#include "util/QuorExport.h"

// The process-wide trace facility (one global object, quorTrace): activation
// levels per unit, the screen and file outputs, timestamps, name look-ups and
// the trace log file. The lines themselves are produced by the entry points
// of QuorTrace.h; queued lines are output by quorTraceThread.
class QUOR_EXPORT CQuorTrace {
public:
    CQuorTrace();
    virtual ~CQuorTrace();

    CQuorTrace(CQuorTrace const&) = delete;
    CQuorTrace& operator=(CQuorTrace const&) = delete;

    // Opens syslog under processName with the facility, registers the trace
    // commands, makes the process name the line prefix, creates the system
    // variable "QUORALOG_PATH" and starts the printer thread "QuorTrace".
    // Returns 0 or the (negative) result of starting the thread.
    int Init(char const* processName, int syslogFacility);

    static char const* GetTraceUnitNamePtr(unsigned unit);
    static unsigned GetTraceUnitNrByName(char const* name);
    static T_TraceLevel GetTraceLevelNrByName(char const* name);
    static char const* GetTraceLevelNamePtr(unsigned level);

    // 0 for a unit of 400 or more.
    T_TraceLevel GetTraceActivationState(unsigned unit) const {
        return unit < QUOR_TRACE_MAX_UNITS ? m_activationLevel[unit].load(std::memory_order_relaxed)
                                           : TRACELEVEL_ALL;
    }
    // Maps the old levels 1 to 6 onto the current scale.
    static T_TraceLevel ConvertTraceLevel(T_TraceLevel level);
    // Results: 0, or -1600 for a unit that does not exist.
    int SetTraceOn(unsigned unit, T_TraceLevel level);
    int SetTraceOn(char const* unitName, char const* levelName);
    int SetTraceOff(unsigned unit);
    int SetTraceOnAll(T_TraceLevel level);
    int SetTraceOffAll();

    // Set the mode globals (non-zero is on); return 0.
    int SetTraceModeDirectPrint(int on);
    int SetTraceModeWriteToLogfileIfDirectPrint(int on);
    int SetTraceModeUseSyslog(int on);
    int SetTraceWithColors(int on);

    void SetTraceTimestampsOn() { m_timestamps.store(true, std::memory_order_relaxed); }
    void SetTraceTimestampsOff() { m_timestamps.store(false, std::memory_order_relaxed); }
    bool AreTimestampsOn() const { return m_timestamps.load(std::memory_order_relaxed); }

    int StartTracingToScreen();
    int StopTracingToScreen();
    bool IsTracingToScreen() const { return m_tracingToScreen.load(std::memory_order_relaxed); }

    // Writes the current timestamp into buffer (at least 64 characters);
    // returns its length, 0 on failure.
    int PrintTimestampToCharString(char* buffer);
    void PrintTimestamp();

    int SetPrintToScreenFunction(int (*function)(char const*));
    int SetInitialInfoWhenTracingToFileStartsFunction(void (*function)());

    // One line of the activation listing; with onlyUsed, units named
    // "TRACE_NONE" or "TRACE_G_SPARE..." are left out. -1600 for a unit that
    // does not exist.
    int PrintTraceActivationState(unsigned unit, bool onlyUsed);
    // Units 1 to 399, without the unused ones.
    int PrintAllTraceActivationStates();

    char const* GetLogfilePath() { return m_LogFile.GetLogfilePath(); }
    int SetTraceFileMaxSize(long size) { return m_LogFile.SetMaxSize(size); }
    long GetTraceFileMaxSize() { return m_LogFile.GetMaxSize(); }
    char const* GetLogfileFullName() const { return m_LogFile.GetLogfileFullName(); }

    // Opens the trace log and writes a start marker; 0 when already tracing
    // to the file, else the open's failure or the last write's result.
    int StartTracingToFile();
    // The same under a new directory and base name.
    int StartTracingToFile(char const* directory, char const* name);
    // Clears the flag, waits 100 ms, closes the log, syncs and waits 2 s.
    int StopTracingToFile();
    // Starts tracing to "quortrc" + suffix in the first directory of
    // tracefilePathPtrArray that exists, publishes it as "QUORALOG_PATH", and
    // hands the directory's "traces" + suffix + ".cfg" to cfgFileThread. The
    // log has no size limit until that file ran. 0 and nothing changed when
    // no directory exists.
    int CheckAndStartTracingToFile(char const* suffix);
    // Called by the cfg-file thread after each file: restores the saved
    // maximum size unless the file set one.
    int CheckAndSetMaxSizeOfLogfile();
    // The directory CheckAndStartTracingToFile chose last ("" before).
    std::string GetLogDirectory() const;

    bool IsTracingToFile() const { return m_tracingToFile.load(std::memory_order_relaxed); }
    // Writes text to the trace log file. A failure is printed and ends
    // tracing to the file; the other outputs go on. Returns the write result.
    int WriteToLogfile(char const* text);
    // The same for a text whose length (strlen) the caller already knows.
    int WriteToLogfile(char const* text, std::size_t length);

private:
    std::atomic<bool> m_timestamps{false};
    std::atomic<bool> m_tracingToFile{false};
    std::atomic<bool> m_tracingToScreen{false};
    CPwiLog m_LogFile;
    std::atomic<T_TraceLevel> m_activationLevel[QUOR_TRACE_MAX_UNITS];
    // Stored for the host; the facility itself does not call it.
    std::atomic<int (*)(char const*)> m_printToScreenFunction{nullptr};
    // Called each time tracing to a file starts.
    std::atomic<void (*)()> m_initialInfoFunction{nullptr};
    // The maximum log size to return to once a trace configuration file ran.
    std::atomic<long> m_savedMaxLogSize;
    mutable std::mutex m_logDirectoryMutex;
    std::string m_logDirectory;
};

// The candidate trace directories in the order they are searched; null ends
// the list.
QUOR_EXPORT extern char const* const tracefilePathPtrArray[];
// The system variable that holds the trace log directory.
constexpr char logPathVariable[] = "QUORALOG_PATH";

QUOR_EXPORT extern CQuorTrace quorTrace;

// Whether TraceFormattedString would put out a line of this level on this unit
// (also true for a unit out of range, which it reports). Busy paths test it
// so that a suppressed line costs no call.
inline bool IsTraceLineOn(unsigned unit, T_TraceLevel level) {
    return level >= quorTrace.GetTraceActivationState(unit);
}
