#include "runtime/CThreadObject.h"

#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "debug/QuorTrace.h"

CThreadObject::CThreadObject(int dbgId) : m_dbgId(dbgId) {
    pthread_mutex_init(&m_mutex, nullptr);
}

CThreadObject::~CThreadObject() {
    CThreadObject::StopThreadAndWait();
    // Also after StopAllThreads, when finishing threads leave the registry
    // alone: it lives on and must never hold a destroyed object.
    ForgetThread(this);
    pthread_mutex_destroy(&m_mutex);
    pthread_mutex_destroy(&m_joinMutex);
}

int CThreadObject::GetThreadType() {
    return 1;
}

unsigned CThreadObject::GetNrOfProcessedMsgs() const {
    return 0;
}

// Joins a thread that ended by itself since it was started. Called with
// m_joinMutex held.
void CThreadObject::JoinFinishedThread() {
    if (!m_joinPending) {
        return;
    }
    if (pthread_equal(m_joinHandle, pthread_self())) {
        // A thread stopping itself cannot join itself; it is released on its end.
        pthread_detach(m_joinHandle);
    } else {
        pthread_join(m_joinHandle, nullptr);
    }
    m_joinPending = false;
}

int CThreadObject::StartThread(char const* name, int stackSize, int priority) {
    pthread_mutex_lock(&m_joinMutex);
    if (m_running.load(std::memory_order_acquire)) {
        pthread_mutex_unlock(&m_joinMutex);
        TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_ERROR,
                             "CThreadObject::Starting thread - Thread is already running - "
                             "name=%s\n",
                             name != nullptr ? name : m_threadName.c_str());
        return 0;
    }
    JoinFinishedThread();
    // Claimed as running; the registry is entered without m_joinMutex held,
    // since StopAllThreads takes the two the other way round.
    m_running.store(true, std::memory_order_seq_cst);
    m_stop.store(false, std::memory_order_relaxed);
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                         "CThreadObject::Starting thread - %s\n", name != nullptr ? name : "");
    if (name != nullptr) {
        m_threadName = name;
    }
    pthread_mutex_unlock(&m_joinMutex);
    // Registered before the thread exists, so that a thread that ends at
    // once finds its own entry to remove.
    AddThreadToGlobalThreadList(this);

    pthread_attr_t attributes;
    pthread_attr_t* usedAttributes = nullptr;
    if (stackSize >= 1) {
        pthread_attr_init(&attributes);
        usedAttributes = &attributes;
        int const rc = pthread_attr_setstacksize(&attributes, static_cast<size_t>(stackSize));
        if (rc != 0) {
            TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_ERROR,
                                 "CThreadObject::Set stacksize for thread FAILED - rc=%d errno=%d "
                                 "name=%s\n",
                                 rc, rc, m_threadName.c_str());
        } else {
            TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                                 "CThreadObject::Set stacksize for thread successful\n");
        }
        if (priority > 0) {
            if (pthread_attr_setschedpolicy(&attributes, SCHED_FIFO) == 0) {
                TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                                     "CThreadObject::Set schedule policy SCHED_FIFO for thread "
                                     "successful\n");
            } else {
                TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_ERROR,
                                     "CThreadObject::Set schedule policy for thread failed\n");
            }
        }
    }

    pthread_mutex_lock(&m_joinMutex);
    pthread_t handle;
    int const rc = pthread_create(&handle, usedAttributes, StaticThreadFunction, this);
    if (usedAttributes != nullptr) {
        pthread_attr_destroy(usedAttributes);
    }
    if (rc != 0) {
        m_running.store(false, std::memory_order_seq_cst);
        pthread_mutex_unlock(&m_joinMutex);
        RemoveThreadFromGlobalThreadList(this);
        TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_ERROR,
                             "CThreadObject::Create thread FAILED - rc=%d errno=%d name=%s\n", rc,
                             rc, m_threadName.c_str());
        return -1100;
    }
    m_joinHandle = handle;
    m_joinPending = true;
    m_thread.store(handle, std::memory_order_seq_cst);
    if (!m_running.load(std::memory_order_seq_cst)) {
        // The thread has already ended and cleared its handle before we stored it.
        m_thread.store(0, std::memory_order_seq_cst);
    }
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO,
                         "CThreadObject::Create thread successful - rc=%d name=%s id=%ld type=%d  "
                         "this=%p\n",
                         rc, m_threadName.c_str(), static_cast<long>(handle), GetThreadType(),
                         static_cast<void*>(this));
    SetPriority(handle, priority);
    pthread_mutex_unlock(&m_joinMutex);
    return 0;
}

// Sets the real-time priority on the running thread (whatever the attributes
// did) and traces the scheduling before and after. A refused priority is
// traced; the thread runs on with its inherited scheduling.
void CThreadObject::SetPriority(pthread_t thread, int priority) {
    sched_param param{};
    int policy = 0;
    int ret = pthread_getschedparam(thread, &policy, &param);
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                         "CThreadObject:: Thread priority = %d, ret = %d  id=%ld\n",
                         param.sched_priority, ret, static_cast<long>(thread));
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                         "CThreadObject:: Thread scheduler = %d  id=%ld\n", policy,
                         static_cast<long>(thread));
    if (priority > 0) {
        sched_param wanted{};
        wanted.sched_priority = priority;
        ret = pthread_setschedparam(thread, SCHED_FIFO, &wanted);
        TraceFormattedString(TRACE_THREAD_OBJECT, ret == 0 ? TRACELEVEL_DEBUG : TRACELEVEL_ERROR,
                             "CThreadObject:: Changed Thread priority = %d, ret = %d  id=%ld\n",
                             priority, ret, static_cast<long>(thread));
    }
    ret = pthread_getschedparam(thread, &policy, &param);
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                         "CThreadObject:: Thread priority = %d, ret = %d id=%ld\n",
                         param.sched_priority, ret, static_cast<long>(thread));

    pthread_attr_t fresh;
    size_t stackSize = 0;
    pthread_attr_init(&fresh);
    int const rc = pthread_attr_getstacksize(&fresh, &stackSize);
    pthread_attr_destroy(&fresh);
    if (rc != 0) {
        TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_ERROR,
                             "CThreadObject::Get stacksize for thread FAILED - rc=%d errno=%d "
                             "name=%s\n",
                             rc, rc, m_threadName.c_str());
    } else {
        TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG,
                             "CThreadObject::Get stacksize for thread successful = %d\n",
                             static_cast<int>(stackSize));
    }
}

void CThreadObject::StopThread() {
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO3,
                         "CThreadObject::StopThread() - Stopping thread\n");
    RequestStop();
}

void CThreadObject::StopThreadAndWait() {
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO2,
                         "CThreadObject::StopThreadAndWait() - Stopping thread - m_thread = "
                         "0x%08lx = %s\n",
                         static_cast<unsigned long>(m_thread.load(std::memory_order_acquire)),
                         m_threadName.c_str());
    RequestStop();
    pthread_mutex_lock(&m_joinMutex);
    bool const self = m_joinPending && pthread_equal(m_joinHandle, pthread_self());
    JoinFinishedThread();
    pthread_mutex_unlock(&m_joinMutex);
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO2,
                         "CThreadObject::StopThreadAndWait() - Thread stopped - m_thread = "
                         "0x%08lx = %s\n",
                         static_cast<unsigned long>(m_thread.load(std::memory_order_acquire)),
                         m_threadName.c_str());
    if (!self) {
        m_thread.store(0, std::memory_order_seq_cst);
        m_running.store(false, std::memory_order_seq_cst);
    }
}

void CThreadObject::CancelThread() {
    pthread_mutex_lock(&m_joinMutex);
    if (m_joinPending && !pthread_equal(m_joinHandle, pthread_self())) {
        pthread_cancel(m_joinHandle);
    }
    pthread_mutex_unlock(&m_joinMutex);
}

void* CThreadObject::StaticThreadFunction(void* object) {
    static_cast<CThreadObject*>(object)->RealThreadFunction();
    return nullptr;
}

namespace {

// Leaves the registry and clears the running state when the work function
// returns or the thread is cancelled (cancellation unwinds the stack).
class ThreadEnd {
public:
    explicit ThreadEnd(std::atomic<bool>& running, std::atomic<pthread_t>& thread,
                       CThreadObject* object)
        : m_runningFlag(running), m_threadHandle(thread), m_object(object) {}
    ~ThreadEnd() {
        CThreadObject::RemoveThreadFromGlobalThreadList(m_object);
        m_runningFlag.store(false, std::memory_order_seq_cst);
        m_threadHandle.store(0, std::memory_order_seq_cst);
    }

private:
    std::atomic<bool>& m_runningFlag;
    std::atomic<pthread_t>& m_threadHandle;
    CThreadObject* m_object;
};

} // namespace

void CThreadObject::RealThreadFunction() {
    ThreadEnd const end(m_running, m_thread, this);
    m_thread.store(pthread_self(), std::memory_order_seq_cst);
    if (!m_threadName.empty()) {
        prctl(PR_SET_NAME, m_threadName.c_str(), 0, 0, 0);
    }
    m_threadId.store(static_cast<long>(syscall(SYS_gettid)), std::memory_order_relaxed);
    m_processId.store(static_cast<int>(getpid()), std::memory_order_relaxed);
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO,
                         "CThreadObject::Calling ThreadWorkFunction - name=%s Thread-Id = %ld\n",
                         m_threadName.c_str(), m_threadId.load(std::memory_order_relaxed));
    ThreadWorkFunction();
    TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO,
                         "CThreadObject::ThreadWorkFunction ended - name=%s\n",
                         m_threadName.c_str());
}
