// The process-wide registry of running thread objects and its listing.
#include <list>

#include "debug/QuorTrace.h"
#include "runtime/CThreadObject.h"

pthread_mutex_t CThreadObject::m_quorGlobalThreadMutex = PTHREAD_MUTEX_INITIALIZER;
std::atomic<bool> CThreadObject::m_quorGlobalThreadHandlingTerminated{false};

namespace {

// Built on first use and never destroyed, so that thread objects destroyed
// late in the process's exit still find it.
std::list<T_GlobalThreadInfo>& GlobalThreadObjectList() {
    static auto* const globalThreadObjectList = new std::list<T_GlobalThreadInfo>;
    return *globalThreadObjectList;
}

char const separator[] = "------------+-----------+------+---------+-------------------------------"
                         "------------\n";

} // namespace

void CThreadObject::GetMutex() {
    pthread_mutex_lock(&m_quorGlobalThreadMutex);
}

void CThreadObject::ReleaseMutex() {
    pthread_mutex_unlock(&m_quorGlobalThreadMutex);
}

int CThreadObject::AddThreadToGlobalThreadList(CThreadObject* thread) {
    GetMutex();
    GlobalThreadObjectList().push_back(T_GlobalThreadInfo{thread});
    ReleaseMutex();
    return 0;
}

int CThreadObject::RemoveThreadFromGlobalThreadList(CThreadObject* thread) {
    if (m_quorGlobalThreadHandlingTerminated.load(std::memory_order_relaxed)) {
        return 0;
    }
    GetMutex();
    auto& list = GlobalThreadObjectList();
    for (auto entry = list.begin(); entry != list.end(); ++entry) {
        if (entry->thread == thread) {
            list.erase(entry);
            break;
        }
    }
    ReleaseMutex();
    return 0;
}

void CThreadObject::ForgetThread(CThreadObject* thread) {
    GetMutex();
    GlobalThreadObjectList().remove_if(
        [thread](T_GlobalThreadInfo const& entry) { return entry.thread == thread; });
    ReleaseMutex();
}

void CThreadObject::StopAllThreads() {
    // Finishing threads must not wait for the mutex held here.
    Terminate();
    GetMutex();
    auto& list = GlobalThreadObjectList();
    for (auto const& entry : list) {
        TraceFormattedString(TRACE_THREAD_OBJECT, TRACELEVEL_INFO3,
                             "CThreadObject::StopAllThreads() - ++++ Stopping thread %s ++++\n",
                             entry.thread->m_threadName.c_str());
        entry.thread->StopThreadAndWait();
    }
    // Every listed thread has ended; none may stay listed once its object goes.
    list.clear();
    ReleaseMutex();
}

char const* CThreadObject::GetThreadName(unsigned long id) {
    char const* name = "(unknown)";
    GetMutex();
    for (auto const& entry : GlobalThreadObjectList()) {
        if (entry.thread->GetThread() == id) {
            name = entry.thread->m_threadName.c_str();
        }
    }
    ReleaseMutex();
    return name;
}

void CThreadObject::ListGlobalThreadObjectList(long id) {
    GetMutex();
    FormattedStringToStdout("\nList of thread objects\n");
    FormattedStringToStdout("\nTypes: 1 = while-loop, 2 = msg-loop, 3 = msg-loop with states\n\n");
    FormattedStringToStdout("Thread-Addr | Thread-Id | Type | Msgs    | Name\n");
    FormattedStringToStdout("%s", separator);
    for (auto const& entry : GlobalThreadObjectList()) {
        CThreadObject* const thread = entry.thread;
        unsigned long const handle = thread->GetThread();
        long const threadId = thread->GetThreadId();
        if (id == 0 || static_cast<unsigned long>(id) == handle || id == threadId) {
            FormattedStringToStdout(
                "0x%8lx | %9ld | %4d | %7d | %s\n", handle, threadId, thread->GetThreadType(),
                static_cast<int>(thread->GetNrOfProcessedMsgs()), thread->m_threadName.c_str());
        }
    }
    FormattedStringToStdout("%s", separator);
    ReleaseMutex();
}

void CThreadObject::Start() {
    m_quorGlobalThreadHandlingTerminated.store(false, std::memory_order_relaxed);
}

void CThreadObject::Terminate() {
    m_quorGlobalThreadHandlingTerminated.store(true, std::memory_order_relaxed);
}
