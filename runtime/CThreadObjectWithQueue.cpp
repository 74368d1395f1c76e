#include "runtime/CThreadObjectWithQueue.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"

CThreadObjectWithQueue::CThreadObjectWithQueue(int dbgId) : CThreadObject(dbgId) {}

CThreadObjectWithQueue::~CThreadObjectWithQueue() {
    CThreadObjectWithQueue::StopThreadAndWait();
}

int CThreadObjectWithQueue::Init(char const* name, int maxNrOfMsgs, int mode, bool nameIsComplete,
                                 bool unlinkQueue) {
    m_queueName = name != nullptr ? name : "";
    m_maxNrOfMsgs = maxNrOfMsgs;
    if (!nameIsComplete) {
        m_queueName += std::to_string(static_cast<int>(reinterpret_cast<std::intptr_t>(this)));
    }
    if (GetTraceActivationState(TRACE_QUEUE_THREAD) <= TRACELEVEL_DEBUG) {
        std::ostringstream text;
        text << "CThreadObjectWithQueue:: Queuename = " << m_queueName << "\n";
        TraceStream(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG, text);
    }
    int const rc = m_msgQueue.Open(m_queueName.c_str(), O_RDWR | O_CREAT | O_NONBLOCK, mode,
                                   maxNrOfMsgs, unlinkQueue);
    if (rc != 0) {
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_WARNING,
                             "CThreadObjectWithQueue::Init() FAILED - %d - %s\n", rc,
                             m_queueName.c_str());
        return rc;
    }
    m_initialized.store(true, std::memory_order_release);
    TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                         "CThreadObjectWithQueue::Init() - %d - %s\n", rc, m_queueName.c_str());
    return 0;
}

int CThreadObjectWithQueue::StartThread(char const* name, int stackSize, int priority) {
    if (!IsInitialized()) {
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_ERROR,
                             "CThreadObjectWithQueue::StartThread() Thread not started, as object "
                             "is not initialized - Name: %s\n",
                             name != nullptr ? name : "");
        return -1111;
    }
    CThreadObject::StartThread(name, stackSize, priority);
    return 0;
}

// Wakes the thread if it waits for a message. Nothing is sent when no thread
// runs: a stop message left in the queue would end the next start at once.
void CThreadObjectWithQueue::SendStopMessage() {
    if (!IsRunning()) {
        return;
    }
    CQuorMsg stop(SIG_ID_STOP_THREAD);
    stop.SendMsg(m_msgQueue.GetHandle(), 0);
}

void CThreadObjectWithQueue::StopThread() {
    if (IsInitialized()) {
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_INFO2,
                             "CThreadObjectWithQueue::StopThread() - Sending SIG_ID_STOP_THREAD\n");
        SendStopMessage();
    } else {
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_WARNING,
                             "CThreadObjectWithQueue::StopThread() - Stop for uninitialized thread "
                             "ignored\n");
    }
    CThreadObject::StopThread();
}

void CThreadObjectWithQueue::StopThreadAndWait() {
    if (IsInitialized()) {
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_INFO2,
                             "CThreadObjectWithQueue::Sending SIG_ID_STOP_THREAD\n");
        SendStopMessage();
    }
    TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                         "CThreadObjectWithQueue:: Wait until thread is finished\n");
    CThreadObject::StopThreadAndWait();
}

int CThreadObjectWithQueue::GetThreadType() {
    return 2;
}

unsigned CThreadObjectWithQueue::GetNrOfProcessedMsgs() const {
    return m_nrOfProcessedMsgs.load(std::memory_order_relaxed);
}

void CThreadObjectWithQueue::CountProcessed() {
    // Only the thread itself writes the counter.
    m_nrOfProcessedMsgs.store(m_nrOfProcessedMsgs.load(std::memory_order_relaxed) + 1,
                              std::memory_order_relaxed);
}

int CThreadObjectWithQueue::SendCmd(CQuorMsg* msg) {
    if (msg == nullptr) {
        return m_msgQueue.Send(msg, 0);
    }
    if (IsInitialized()) {
        int const rc = m_msgQueue.Send(msg, 0);
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                             "CThreadObjectWithQueue::SendCmd - %d - %s\n", rc,
                             m_queueName.c_str());
        return rc;
    }
    int rc = 0;
    if (msg->m_signalName != SIG_ID_STOP_THREAD) {
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_ERROR,
                             "CThreadObjectWithQueue::SendCmd when not initialized - Calling "
                             "thread id = 0x%lx\n",
                             static_cast<unsigned long>(pthread_self()));
        rc = -1110;
    }
    msg->FreeSignal();
    return rc;
}

void CThreadObjectWithQueue::BeforeProcessingMsgs() {
    TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                         "CThreadObjectWithQueue::BeforeProcessingMsgs() called\n");
}

void CThreadObjectWithQueue::ThreadWorkFunction() {
    BeforeProcessingMsgs();
    ReadMsgsFromNonBlockingQueue();
    m_msgQueue.ClearQueue();
}

void CThreadObjectWithQueue::ReadMsgsFromNonBlockingQueue() {
    CQuorMsg msg;
    for (unsigned ctr = 0; !StopRequested(); ++ctr) {
        pthread_mutex_lock(&m_mutex);
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                             "CThreadObjectWithQueue::ReadMsgsFromNonBlockingQueue() - dbgIg = %d "
                             "- ctr = %d\n",
                             m_dbgId, static_cast<int>(ctr));
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                             " CThreadObjectWithQueue::Reading message\n");
        int const rc = m_msgQueue.ReceiveFromNonblockingQueue(&msg, 0);
        if (rc >= 0) {
            TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_INFO,
                                 " CThreadObjectWithQueue::Received Msg rc=%i Signal name = %li "
                                 "Thread-Id = %ld Queue name = %s\n",
                                 rc, static_cast<long>(msg.m_signalName), GetThreadId(),
                                 m_queueName.c_str());
            if (msg.m_signalName == SIG_ID_STOP_THREAD) {
                TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_INFO2,
                                     "CThreadObjectWithQueue::Received SIG_ID_STOP_THREAD - "
                                     "Thread-Id = %ld\n",
                                     GetThreadId());
                RequestStop();
            } else {
                ProcessQuorMsg(&msg);
                CountProcessed();
            }
        } else {
            if (rc != -1428) {
                TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_ERROR,
                                     " CThreadObjectWithQueue::ERROR - Read message failed - "
                                     "rc=%d - Thread-Id = %ld\n",
                                     rc, GetThreadId());
            }
            // A failure that lasts (a dead descriptor) must not spin a core.
            usleep(20000);
        }
        pthread_mutex_unlock(&m_mutex);
    }
}

void CThreadObjectWithQueue::ReadMsgsFromBlockingQueue() {
    CQuorMsg msg;
    for (unsigned ctr = 0; !StopRequested(); ++ctr) {
        pthread_mutex_lock(&m_mutex);
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                             "CThreadObjectWithQueue::ThreadWorkFunction() - %d - %d\n", m_dbgId,
                             static_cast<int>(ctr));
        TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                             " CThreadObjectWithQueue::Reading message\n");
        int const rc = msg.ReceiveMsg(&m_msgQueue, 0);
        if (rc < 0) {
            TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                                 " CThreadObjectWithQueue::ERROR - Read message failed - rc=%d\n",
                                 rc);
            // On a non-blocking queue an empty receive returns at once: wait
            // for the next message instead of spinning.
            if (m_msgQueue.usleepOnQueue(20000) < 0) {
                usleep(20000); // a dead descriptor answers at once
            }
        } else {
            TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                                 " CThreadObjectWithQueue::Received Msg rc=%i Info = %i\n", rc,
                                 msg.m_responseInfo);
            if (msg.m_signalName == SIG_ID_STOP_THREAD) {
                TraceFormattedString(TRACE_QUEUE_THREAD, TRACELEVEL_DEBUG,
                                     "CThreadObjectWithQueue::Received SIG_ID_STOP_THREAD\n");
                RequestStop();
            } else {
                ProcessQuorMsg(&msg);
                CountProcessed();
            }
        }
        pthread_mutex_unlock(&m_mutex);
    }
}
