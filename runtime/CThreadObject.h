#pragma once

#include <pthread.h>

#include <atomic>
#include <string>

#include "util/QuorExport.h"

class CThreadObject;

// One entry of the process-wide thread registry.
struct T_GlobalThreadInfo {
    CThreadObject* thread;
};

// One POSIX thread running ThreadWorkFunction(): started with an optional
// stack size and SCHED_FIFO priority, stopped by a flag that the work
// function polls, joined by StopThreadAndWait. Running threads are entered in
// a process-wide registry that the debug shell lists.
//
// The joinable handle is kept apart from m_thread (which the thread clears
// when it ends): a thread that ends by itself is still joined, by the next
// StopThreadAndWait or StartThread, and never twice.
//
// A derived class stops its thread in its own destructor: by the time the
// base destructor runs, the work function's object is gone.
class QUOR_EXPORT CThreadObject {
public:
    CThreadObject() : CThreadObject(0) {}
    explicit CThreadObject(int dbgId);
    CThreadObject(CThreadObject const&) = delete;
    CThreadObject& operator=(CThreadObject const&) = delete;
    virtual ~CThreadObject();

    // 0 (also when the thread already runs), or -1100 when no thread could
    // be created. A stack size below 1 or a priority below 1 keeps the default.
    virtual int StartThread(char const* name, int stackSize, int priority);
    // Asks the work function to return; does not wait.
    virtual void StopThread();
    // Asks the work function to return and joins the thread.
    virtual void StopThreadAndWait();
    virtual int GetThreadType();
    virtual unsigned GetNrOfProcessedMsgs() const;

    static void* StaticThreadFunction(void* object);

    // Stops and joins every registered thread (for process shutdown).
    static void StopAllThreads();
    // Prints the registered threads whose handle or kernel id is id; 0 lists all.
    static void ListGlobalThreadObjectList(long id);
    // Name of the registered thread with this handle, or "(unknown)".
    static char const* GetThreadName(unsigned long id);
    static int AddThreadToGlobalThreadList(CThreadObject* thread);
    static int RemoveThreadFromGlobalThreadList(CThreadObject* thread);
    // The registry mutex is statically initialised; GetMutex locks it.
    static void GetMutex();
    static void ReleaseMutex();
    // Terminate: finishing threads no longer remove themselves from the registry.
    static void Start();
    static void Terminate();

    bool IsRunning() const { return m_running.load(std::memory_order_acquire); }
    bool StopRequested() const { return m_stop.load(std::memory_order_acquire); }
    pthread_t GetThread() const { return m_thread.load(std::memory_order_acquire); }
    long GetThreadId() const { return m_threadId.load(std::memory_order_relaxed); }
    int GetProcessId() const { return m_processId.load(std::memory_order_relaxed); }
    std::string const& GetName() const { return m_threadName; }

protected:
    virtual void ThreadWorkFunction() = 0;
    void RequestStop() { m_stop.store(true, std::memory_order_release); }
    // Cancels the thread if there is one (for threads that block in a system call).
    void CancelThread();

    std::atomic<bool> m_stop{false};
    // The object's own mutex, free for the derived classes.
    pthread_mutex_t m_mutex;
    int m_dbgId;
    std::string m_threadName;
    // The running thread for lookups and listings; 0 when none.
    std::atomic<pthread_t> m_thread{0};

private:
    void RealThreadFunction();
    void JoinFinishedThread();
    void SetPriority(pthread_t thread, int priority);
    // Erases the registry entry of thread, whatever Terminate said.
    static void ForgetThread(CThreadObject* thread);

    std::atomic<bool> m_running{false};
    std::atomic<long> m_threadId{0};
    std::atomic<int> m_processId{0};

    // The joinable handle; guarded by m_joinMutex, which is held across
    // start and join so that two stoppers never join one thread twice.
    pthread_mutex_t m_joinMutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_t m_joinHandle = 0;
    bool m_joinPending = false;

    static pthread_mutex_t m_quorGlobalThreadMutex;
    static std::atomic<bool> m_quorGlobalThreadHandlingTerminated;
};
