#include "script/CCfgFileThread.h"

#include <cstring>
#include <new>
#include <sstream>

#include "debug/CQuorTrace.h"
#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"
#include "script/CCfgFile.h"
#include "util/FileUtils.h"
#include "util/Strlcpy.h"

namespace {

template <typename Value> void Trace(int level, char const* text, Value const& value) {
    if (GetTraceActivationState(TRACE_CFG_FILE_THREAD) <= level) {
        std::ostringstream line;
        line << text << value << "\n";
        TraceStream(TRACE_CFG_FILE_THREAD, level, line);
    }
}

void Trace(int level, char const* text) {
    Trace(level, text, "");
}

} // namespace

// Constructed last of the runtime's globals, destroyed first: its thread may
// still use the shell and the trace facility while it stops.
CCfgFileThread cfgFileThread;

CCfgFileThread::~CCfgFileThread() {
    // The thread calls back into this object: stop it before it is gone.
    StopThreadAndWait();
}

int CCfgFileThread::Init() {
    std::lock_guard<std::mutex> lock(m_initMutex);
    if (m_initDone != 0) {
        return 0;
    }
    m_initDone = 1;
    int rc = CThreadObjectWithQueue::Init("/Q_CfgFileThread", 5, 0, false, true);
    if (rc != 0) {
        Trace(TRACELEVEL_ERROR,
              "CfgFileThread::Init() -  CThreadObjectWithQueue::Init failed - error code = ", rc);
        return rc;
    }
    rc = StartThread("CfgFileThread", 0, 0);
    if (rc != 0) {
        Trace(TRACELEVEL_ERROR,
              "CfgFileThread::Init() -  CThreadObjectWithQueue::Start Thread failed - error code "
              "= ",
              rc);
    }
    return rc;
}

int CCfgFileThread::ExecuteCfgFileInSeparateThread(char const* path) {
    Init();
    CQuorMsg request(SIG_ID_EXECUTE_CFG_FILE_IN_THREAD);
    if (path != nullptr) {
        std::size_t const size = std::strlen(path) + 3;
        char* const copy = static_cast<char*>(::operator new(size, std::nothrow));
        if (copy == nullptr) {
            Trace(TRACELEVEL_ERROR,
                  "CfgFileThread::ExecuteCfgFileInSeparateThread() FAILED - no memory for ", path);
            return CFG_ERR_READ;
        }
        strlcpy(copy, path, size);
        request.m_signalPtr = copy;
        request.m_signalSize = static_cast<int>(size);
    }
    // The thread owns the copy from here on; a failed send has released it.
    int const rc = SendCmd(&request);
    if (rc != 0) {
        Trace(TRACELEVEL_ERROR,
              "CfgFileThread::ExecuteCfgFileInSeparateThread() FAILED - error code = ", rc);
    }
    return rc;
}

void CCfgFileThread::ProcessQuorMsg(CQuorMsg* msg) {
    char const* const name = GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName));
    Trace(TRACELEVEL_DEBUG, "CfgFileThread::ProcessQuorMsg called -- Signal Name = ", name);
    if (msg->m_signalName == SIG_ID_EXECUTE_CFG_FILE_IN_THREAD) {
        RxExecuteCfgFile(msg);
    } else if (GetTraceActivationState(TRACE_CFG_FILE_THREAD) <= TRACELEVEL_WARNING) {
        std::ostringstream line;
        line << "CfgFileThread::ProcessQuorMsg unknown message ignored!"
             << " SignalId = " << msg->m_signalName << " Signal = " << name << "\n";
        TraceStream(TRACE_CFG_FILE_THREAD, TRACELEVEL_WARNING, line);
    }
    msg->FreeSignal();
}

void CCfgFileThread::RxExecuteCfgFile(CQuorMsg* msg) {
    Trace(TRACELEVEL_DEBUG, "CfgFileThread::RxExecuteCfgFile()");
    char const* const path = static_cast<char const*>(msg->m_signalPtr);
    if (path == nullptr) {
        Trace(TRACELEVEL_ERROR, "CfgFileThread::RxExecuteCfgFile() FAILED = no filename given");
    } else if (!utils::file::isFileExisting(path)) {
        Trace(TRACELEVEL_ERROR,
              "CfgFileThread::RxExecuteCfgFile() FAILED -  Cfg file not found : ", path);
    } else {
        Trace(TRACELEVEL_INFO, "CfgFileThread::Processing cfg file ", path);
        CCfgFile file;
        int const rc = file.ReadCfgfile(path);
        if (rc >= 0) {
            Trace(TRACELEVEL_INFO, "CfgFileThread::RxExecuteCfgFile() finished successfully");
        } else {
            Trace(TRACELEVEL_ERROR, "CfgFileThread::RxExecuteCfgFile() FAILED - error code = ", rc);
        }
    }
    // A configuration file may have set the log file's size; otherwise the
    // saved size comes back.
    quorTrace.CheckAndSetMaxSizeOfLogfile();
}
