#include "runtime/TimeOutServer.h"

#include <unistd.h>

#include <atomic>
#include <sstream>

#include "debug/QuorTrace.h"
#include "runtime/CQuorMsg.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

// The server's poll count, for traces only.
std::atomic<unsigned> loopCtr{0};

constexpr useconds_t pollPeriodUs = 50000;

} // namespace

TimeOutServer& TimeOutServer::instance() {
    static TimeOutServer server;
    return server;
}

TimeOutServer::TimeOutServer() = default;

TimeOutServer::~TimeOutServer() {
    StopThreadAndWait();
    m_timerList.clear();
    pthread_mutex_destroy(&m_listMutex);
}

void TimeOutServer::AddTimer(TimeOutTimer timer) {
    pthread_mutex_lock(&m_listMutex);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO,
                         "TimeOutServer::AddTimer() called %d - Timer-Id = %d  Timeout = %lf  "
                         "Signal = %ld  Queue = %d\n",
                         static_cast<int>(loopCtr.load(std::memory_order_relaxed)),
                         static_cast<int>(timer.GetTimerId()), timer.GetExpiryTime(),
                         static_cast<long>(timer.GetSignalName()), timer.GetQueueId());
    double const remaining = timer.GetRemainingTime();
    auto position = m_timerList.begin();
    while (position != m_timerList.end() && position->GetRemainingTime() >= remaining) {
        ++position;
    }
    m_timerList.insert(position, timer);
    pthread_mutex_unlock(&m_listMutex);
}

TimeOutTimer TimeOutServer::GetEarliestTimer() {
    return m_timerList.back();
}

void TimeOutServer::PopTimer() {
    m_timerList.pop_back();
}

bool TimeOutServer::IsEmpty() {
    return m_timerList.empty();
}

void TimeOutServer::SortTimer() {
    pthread_mutex_lock(&m_listMutex);
    m_timerList.sort(TimeOutTimer::TimeOutTimerSortPredicate);
    pthread_mutex_unlock(&m_listMutex);
}

std::size_t TimeOutServer::GetNrOfTimers() {
    pthread_mutex_lock(&m_listMutex);
    std::size_t const size = m_timerList.size();
    pthread_mutex_unlock(&m_listMutex);
    return size;
}

void TimeOutServer::DumpList() {
    std::ostringstream head;
    head << "TimeOutServer::DumpList() called - Size = " << GetNrOfTimers() << "\n";
    StreamToStdout(head);
    pthread_mutex_lock(&m_listMutex);
    for (auto const& timer : m_timerList) {
        FormattedStringToStdout("Signal = %ld, Expiry = %lf\n",
                                static_cast<long>(timer.GetSignalName()), timer.GetExpiryTime());
    }
    pthread_mutex_unlock(&m_listMutex);
    std::ostringstream end;
    end << "TimeOutServer::DumpList() called - END\n";
    StreamToStdout(end);
}

// Sends every expired timer, earliest first. Called with the list mutex held.
void TimeOutServer::SendExpiredTimers() {
    while (!IsEmpty()) {
        TimeOutTimer timer = GetEarliestTimer();
        if (!(timer.GetRemainingTime() < 0.0)) {
            return;
        }
        CQuorMsg msg(timer.GetSignalName());
        msg.m_responseInfo = static_cast<int>(timer.GetTimerId());
        msg.m_timerObjPtr = timer.GetTimerObjPtr();
        msg.m_callbackId = timer.GetAddExpiryInfo();
        unsigned const ctr = loopCtr.load(std::memory_order_relaxed);
        if (GetTraceActivationState(TRACE_TIMER) <= TRACELEVEL_INFO) {
            std::ostringstream text;
            text << "TimeOutServer::ThreadWorkFunction() " << ctr
                 << " - Timer-Expiry - Timer-Id = " << timer.GetTimerId()
                 << " Signal = " << timer.GetSignalName() << " Queue = " << timer.GetQueueId()
                 << " AddExpiryInfo = " << timer.GetAddExpiryInfo() << "\n";
            TraceStream(TRACE_TIMER, TRACELEVEL_INFO, text);
        }
        int const rc = msg.SendMsg(timer.GetQueueId(), 0);
        if (rc < 0 && GetTraceActivationState(TRACE_TIMER) <= TRACELEVEL_ERROR) {
            std::ostringstream text;
            text << "TimeOutServer::ThreadWorkFunction() SendMsg with SignalId = "
                 << " (" << timer.GetSignalName() << ") "
                 << "to Queue " << CQuorMsgQueue::GetQueueNameByHandle(timer.GetQueueId()) << " ("
                 << timer.GetQueueId() << ") "
                 << "failed. Error = " << rc << "\n";
            TraceStream(TRACE_TIMER, TRACELEVEL_ERROR, text);
        }
        PopTimer();
    }
}

void TimeOutServer::ThreadWorkFunction() {
    loopCtr.store(0, std::memory_order_relaxed);
    while (!StopRequested()) {
        pthread_mutex_lock(&m_listMutex);
        SendExpiredTimers();
        pthread_mutex_unlock(&m_listMutex);
        usleep(pollPeriodUs);
        loopCtr.fetch_add(1, std::memory_order_relaxed);
    }
}
