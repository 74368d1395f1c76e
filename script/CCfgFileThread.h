#pragma once

#include <mutex>

#include "runtime/CThreadObjectWithQueue.h"
#include "util/QuorExport.h"

class CQuorMsg;

// Runs configuration files (CCfgFile::ReadCfgfile) on a thread of their own,
// one request at a time in the order they arrive, so that a caller does not
// wait for a file's shell commands. The queue and the thread come into being
// on first use; a failed start is not retried.
class QUOR_EXPORT CCfgFileThread : public CThreadObjectWithQueue {
public:
    CCfgFileThread() {}
    ~CCfgFileThread() override;

    // Opens the queue "/Q_CfgFileThread<address>" (5 messages) and starts the
    // thread "CfgFileThread", once. The code of the failing step, else 0.
    int Init();
    // Queues a request to run the file at path and returns at once: 0, or
    // the send's failure code (the request and its copy of path are then
    // released). May be called from any thread.
    int ExecuteCfgFileInSeparateThread(char const* path);

    // On the thread: dispatches the requests.
    void ProcessQuorMsg(CQuorMsg* msg) override;
    // On the thread: runs the file named by the request's payload.
    void RxExecuteCfgFile(CQuorMsg* msg);

private:
    std::mutex m_initMutex;
    int m_initDone = 0; // guarded by m_initMutex
};

// The process's configuration-file thread, constructed when the library loads.
extern QUOR_EXPORT CCfgFileThread cfgFileThread;
