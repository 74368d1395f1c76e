#include <unistd.h>

#include <cstdio>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"

int CQuorTrace::WriteToLogfile(char const* text) {
    int const result = m_LogFile.WriteStringToLogfile(text);
    if (result < 0) {
        std::printf("\n-- m_LogFile.WriteStringToLogfile -- Error = %d  (Writing to logfile is "
                    "disabled now)\n",
                    result);
        m_tracingToFile.store(false, std::memory_order_relaxed);
    }
    return result;
}

int CQuorTrace::StartTracingToFile() {
    if (IsTracingToFile()) {
        return 0;
    }
    // The log's own mutex is taken: a writer that saw the flag just before it
    // was cleared may still be inside a write.
    int result = m_LogFile.OpenLogfile(true);
    if (result < 0) {
        std::printf("\nCQuorTrace:: LogFile open error %s%s.%s : Error code: %d "
                    "===============\n",
                    m_LogFile.GetLogfilePath(), m_LogFile.GetLogfileName(),
                    m_LogFile.GetLogfileExt(), result);
        return result;
    }
    std::printf("CQuorTrace:: LogFile opened : %s%s.%s \n\n", m_LogFile.GetLogfilePath(),
                m_LogFile.GetLogfileName(), m_LogFile.GetLogfileExt());
    m_tracingToFile.store(true, std::memory_order_relaxed);

    result = WriteToLogfile("--- ^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^ TRACING RESTARTED "
                            "^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^ ---\n");
    if (quorTraceDirectPrint.load(std::memory_order_relaxed) &&
        !quorTraceWriteToLogfileIfDirectPrint.load(std::memory_order_relaxed)) {
        result = m_LogFile.WriteStringToLogfile(
            "\n--- !!! Traces are NOT logged to this file as direct printing is enabled !!! ---\n");
        if (result < 0) {
            std::printf("\n-- m_LogFile.WriteStringToLogfile failed-- Error = %d\n", result);
        }
    }
    if (auto const initialInfo = m_initialInfoFunction.load(std::memory_order_acquire)) {
        initialInfo();
    }
    return result;
}

int CQuorTrace::StartTracingToFile(char const* directory, char const* name) {
    if (IsTracingToFile()) {
        return 0;
    }
    int const result = m_LogFile.SetFilename(directory, name, m_LogFile.GetLogfileExt(),
                                             m_LogFile.GetBakfileExt());
    return result < 0 ? result : StartTracingToFile();
}

int CQuorTrace::StopTracingToFile() {
    if (!IsTracingToFile()) {
        return 0;
    }
    m_tracingToFile.store(false, std::memory_order_relaxed);
    // Lets a line that is being written finish before the file closes.
    usleep(100000);
    int const result = m_LogFile.CloseLogfile(true);
    if (result < 0) {
        std::printf("CQuorTrace:: LogFile close error %s%s.%s : Error code: %d "
                    "===============\n",
                    m_LogFile.GetLogfilePath(), m_LogFile.GetLogfileName(),
                    m_LogFile.GetLogfileExt(), result);
    } else {
        std::printf("CQuorTrace:: LogFile closed : %s%s.%s \n", m_LogFile.GetLogfilePath(),
                    m_LogFile.GetLogfileName(), m_LogFile.GetLogfileExt());
    }
    sync();
    sleep(2);
    return result;
}

int CQuorTrace::CheckAndSetMaxSizeOfLogfile() {
    // A size that a trace configuration file set is kept.
    if (m_LogFile.GetMaxSize() == 0) {
        m_LogFile.SetMaxSize(m_savedMaxLogSize.load(std::memory_order_relaxed));
    }
    return 0;
}
