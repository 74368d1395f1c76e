// The process-wide registry of open queues and its listing.
#include <fcntl.h>

#include <list>

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"
#include "runtime/CQuorMsgQueue.h"

pthread_mutex_t CQuorMsgQueue::m_quorMsgQueueMutex = PTHREAD_MUTEX_INITIALIZER;
CQuorMsgQueue* CQuorMsgQueue::m_quorMsgQueueQuickAccessArray[QuickAccessSize] = {};
std::atomic<bool> CQuorMsgQueue::m_quorMsgQueueHandlingTerminated{false};
std::atomic<unsigned> CQuorMsgQueue::totalNrOfSentMsgs{0};

namespace {

// Built on first use and never destroyed, so that queue objects destroyed
// late in the process's exit still find it.
std::list<T_GlobalMsgQueueInfo>& GlobalMsgQueueList() {
    static auto* const globalMsgQueueList = new std::list<T_GlobalMsgQueueInfo>;
    return *globalMsgQueueList;
}

char const separator[] = "-------+------+-----------+-----------+-------+----------+---------+----"
                         "--------------------------------\n";

} // namespace

void CQuorMsgQueue::GetMutex() {
    pthread_mutex_lock(&m_quorMsgQueueMutex);
}

void CQuorMsgQueue::ReleaseMutex() {
    pthread_mutex_unlock(&m_quorMsgQueueMutex);
}

int CQuorMsgQueue::AddQueueToGlobalMsgQueueList(CQuorMsgQueue* queue, int handle) {
    GetMutex();
    GlobalMsgQueueList().push_back(T_GlobalMsgQueueInfo{queue, handle});
    if (handle < 0 || handle >= QuickAccessSize) {
        ReleaseMutex();
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_WARNING,
                             "CQuorMsgQueue::AddQueueToGlobalMsgQueueList - Quick access array too "
                             "small - %d instead of %d\n",
                             QuickAccessSize, handle);
        return 0;
    }
    m_quorMsgQueueQuickAccessArray[handle] = queue;
    ReleaseMutex();
    return 0;
}

int CQuorMsgQueue::RemoveQueueFromGlobalMsgQueueList(CQuorMsgQueue* queue, int handle) {
    if (m_quorMsgQueueHandlingTerminated.load(std::memory_order_relaxed)) {
        return 0;
    }
    GetMutex();
    auto& list = GlobalMsgQueueList();
    for (auto entry = list.begin(); entry != list.end(); ++entry) {
        if (entry->queue == queue) {
            list.erase(entry);
            break;
        }
    }
    if (handle >= 0 && handle < QuickAccessSize &&
        m_quorMsgQueueQuickAccessArray[handle] == queue) {
        m_quorMsgQueueQuickAccessArray[handle] = nullptr;
    }
    ReleaseMutex();
    return 0;
}

void CQuorMsgQueue::ForgetQueue(CQuorMsgQueue* queue) {
    GetMutex();
    GlobalMsgQueueList().remove_if(
        [queue](T_GlobalMsgQueueInfo const& entry) { return entry.queue == queue; });
    for (CQuorMsgQueue*& entry : m_quorMsgQueueQuickAccessArray) {
        if (entry == queue) {
            entry = nullptr;
        }
    }
    ReleaseMutex();
}

std::string CQuorMsgQueue::GetQueueNameByHandle(int handle) {
    std::string name = "Unknown";
    GetMutex();
    for (auto const& entry : GlobalMsgQueueList()) {
        if (entry.handle == handle) {
            name = entry.queue->m_name;
            break;
        }
    }
    ReleaseMutex();
    return name;
}

CQuorMsgQueue* CQuorMsgQueue::GetQueueObjPtrByHandle(int handle) {
    CQuorMsgQueue* queue = nullptr;
    GetMutex();
    if (handle >= 0 && handle < QuickAccessSize) {
        queue = m_quorMsgQueueQuickAccessArray[handle];
    } else {
        for (auto const& entry : GlobalMsgQueueList()) {
            if (entry.handle == handle) {
                queue = entry.queue;
                break;
            }
        }
    }
    ReleaseMutex();
    return queue;
}

void CQuorMsgQueue::ListGlobalMsgQueueList(int handle) {
    GetMutex();
    FormattedStringToStdout("List of queues\n");
    FormattedStringToStdout(
        "handle | size | max. used | cur. used | block | last msg | nr read | name\n");
    FormattedStringToStdout("%s", separator);
    for (auto const& entry : GlobalMsgQueueList()) {
        mq_attr attr;
        long size = 0;
        long current = 0;
        char const* block = "UNKWN";
        if (mq_getattr(entry.handle, &attr) != 0) {
            FormattedStringToStdout("Error getting attributes for queue handle %d\n", entry.handle);
        } else {
            size = attr.mq_maxmsg;
            current = attr.mq_curmsgs;
            block = (attr.mq_flags & O_NONBLOCK) != 0 ? "NONBL" : "BLOCK";
        }
        if (handle == 0 || handle == entry.handle) {
            CQuorMsgQueue const& queue = *entry.queue;
            FormattedStringToStdout("%6d | %4d | %9d | %9d | %s | %8u | %7u | %s\n", entry.handle,
                                    static_cast<int>(size), queue.GetMaxFill(),
                                    static_cast<int>(current), block,
                                    static_cast<unsigned>(queue.GetLastMsg()),
                                    queue.GetNrOfReadMsgs(), queue.m_name.c_str());
        }
    }
    FormattedStringToStdout("%s", separator);
    ReleaseMutex();
}

void CQuorMsgQueue::Start() {
    m_quorMsgQueueHandlingTerminated.store(false, std::memory_order_relaxed);
}

void CQuorMsgQueue::Terminate() {
    m_quorMsgQueueHandlingTerminated.store(true, std::memory_order_relaxed);
}

unsigned CQuorMsgQueue::GetTotalNrOfSentMsgs() {
    return totalNrOfSentMsgs.load(std::memory_order_relaxed);
}

void CQuorMsgQueue::ClearTotalNrOfSentMsgs() {
    totalNrOfSentMsgs.store(0, std::memory_order_relaxed);
}

bool QueueTypeIsBlocking(int handle) {
    mq_attr attr;
    if (mq_getattr(handle, &attr) != 0) {
        TraceFormattedString(TRACE_MSG_QUEUE, TRACELEVEL_ERROR,
                             "Error getting attributes for queue handle %d\n", handle);
        return false;
    }
    return (attr.mq_flags & O_NONBLOCK) == 0;
}
