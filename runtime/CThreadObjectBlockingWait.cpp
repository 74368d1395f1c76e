#include "runtime/CThreadObjectBlockingWait.h"

#include "debug/QuorTrace.h"

CThreadObjectBlockingWait::~CThreadObjectBlockingWait() {
    CThreadObjectBlockingWait::StopThreadAndWait();
}

void CThreadObjectBlockingWait::StopThread() {
    pthread_t const thread = GetThread();
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO2,
                         "CThreadObjectBlockingWait::StopThread() - Stopping thread - m_thread = "
                         "%08lx = 0x%s\n",
                         static_cast<unsigned long>(thread), m_threadName.c_str());
    if (thread != 0) {
        CancelThread();
        CThreadObject::StopThread();
    }
}

void CThreadObjectBlockingWait::StopThreadAndWait() {
    pthread_t const thread = GetThread();
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO2,
                         "CThreadObjectBlockingWait::StopThreadAndWait() - Stopping thread - "
                         "m_thread = 0x%08lx = %s\n",
                         static_cast<unsigned long>(thread), m_threadName.c_str());
    // A thread that ended by itself is not cancelled but still joined.
    CancelThread();
    CThreadObject::StopThreadAndWait();
}

int CThreadObjectBlockingWait::GetThreadType() {
    return 5;
}
