#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"
#include "script/CCfgFileThread.h"
#include "script/SILSysVars.h"
#include "util/FileUtils.h"

char const* const tracefilePathPtrArray[] = {
    "/tmp/usb_logs/",
    "/mnt/share/extUSB/sda6/quoralog/",
    "/mnt/share/extUSB/sda5/quoralog/",
    "/mnt/share/extUSB/sda4/quoralog/",
    "/mnt/share/extUSB/sda3/quoralog/",
    "/mnt/share/extUSB/sda2/quoralog/",
    "/mnt/share/extUSB/sda1/quoralog/",
    "/mnt/share/extUSB/sda/quoralog/",
    "/mnt/share/extUSB/sdb6/quoralog/",
    "/mnt/share/extUSB/sdb5/quoralog/",
    "/mnt/share/extUSB/sdb4/quoralog/",
    "/mnt/share/extUSB/sdb3/quoralog/",
    "/mnt/share/extUSB/sdb2/quoralog/",
    "/mnt/share/extUSB/sdb1/quoralog/",
    "/mnt/share/extUSB/sdb/quoralog/",
    "/mnt/share/extUSB/sdc6/quoralog/",
    "/mnt/share/extUSB/sdc5/quoralog/",
    "/mnt/share/extUSB/sdc4/quoralog/",
    "/mnt/share/extUSB/sdc3/quoralog/",
    "/mnt/share/extUSB/sdc2/quoralog/",
    "/mnt/share/extUSB/sdc1/quoralog/",
    "/mnt/share/extUSB/sdc/quoralog/",
    "/mnt/share/extUSB/sdd6/quoralog/",
    "/mnt/share/extUSB/sdd5/quoralog/",
    "/mnt/share/extUSB/sdd4/quoralog/",
    "/mnt/share/extUSB/sdd3/quoralog/",
    "/mnt/share/extUSB/sdd2/quoralog/",
    "/mnt/share/extUSB/sdd1/quoralog/",
    "/mnt/share/extUSB/sdd/quoralog/",
    nullptr,
};

int CQuorTrace::WriteToLogfile(char const* text) {
    return text != nullptr ? WriteToLogfile(text, std::strlen(text)) : 0;
}

int CQuorTrace::WriteToLogfile(char const* text, std::size_t length) {
    int const result = m_LogFile.WriteStringToLogfile(text, length);
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

int CQuorTrace::CheckAndStartTracingToFile(char const* suffix) {
    std::string const suffixText = suffix != nullptr ? suffix : "";
    char const* directory = nullptr;
    for (char const* const* candidate = tracefilePathPtrArray; *candidate != nullptr; ++candidate) {
        if (utils::file::isDirectoryExisting(*candidate)) {
            directory = *candidate;
            break;
        }
    }
    if (directory == nullptr) {
        return 0;
    }
    SILSetSysVarString(logPathVariable, directory);
    {
        std::lock_guard<std::mutex> const lock(m_logDirectoryMutex);
        m_logDirectory = directory;
    }
    std::string const name = "quortrc" + suffixText;
    m_LogFile.SetFilename(directory, name.c_str(), m_LogFile.GetLogfileExt(), ".bak");
    std::printf("CQuorTrace:: %s exists - activating tracing to file %s\n", directory,
                m_LogFile.GetLogfileFullName());

    // No limit while the trace configuration file may still set one.
    m_savedMaxLogSize.store(m_LogFile.GetMaxSize(), std::memory_order_relaxed);
    m_LogFile.SetMaxSize(0);
    int const result = StartTracingToFile();

    std::string const cfgFile =
        std::string(m_LogFile.GetLogfilePath()) + "traces" + suffixText + ".cfg";
    if (utils::file::isFileExisting(cfgFile)) {
        std::printf("CQuorTrace:: Processing cfgfile: %s\n", cfgFile.c_str());
        cfgFileThread.ExecuteCfgFileInSeparateThread(cfgFile.c_str());
    } else {
        m_LogFile.SetMaxSize(m_savedMaxLogSize.load(std::memory_order_relaxed));
    }
    return result;
}

std::string CQuorTrace::GetLogDirectory() const {
    std::lock_guard<std::mutex> const lock(m_logDirectoryMutex);
    return m_logDirectory;
}

int CQuorTrace::CheckAndSetMaxSizeOfLogfile() {
    // A size that a trace configuration file set is kept.
    if (m_LogFile.GetMaxSize() == 0) {
        m_LogFile.SetMaxSize(m_savedMaxLogSize.load(std::memory_order_relaxed));
    }
    return 0;
}
