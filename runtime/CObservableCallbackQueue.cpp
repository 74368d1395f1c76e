#include "runtime/CObservableCallbackQueue.h"

#include <algorithm>

#include "runtime/CQuorMsg.h"
#include "runtime/CQuorMsgQueue.h"
#include "runtime/ObserverFanOut.h"
#include "runtime/TraceLine.h"

std::atomic<unsigned> CObservableCallbackQueue::totalNrOfQueueCallbacks{0};

namespace {

std::string QueueName(int handle) {
    return CQuorMsgQueue::GetQueueNameByHandle(handle);
}

} // namespace

CObservableCallbackQueue::CObservableCallbackQueue() {
    pthread_mutex_init(&m_mutex, nullptr);
}

CObservableCallbackQueue::~CObservableCallbackQueue() {
    pthread_mutex_destroy(&m_mutex);
}

void CObservableCallbackQueue::RegisterCallbackQueue(int queueHandle, long callbackId,
                                                     long callbackId2, unsigned long signalName) {
    TraceLine(TRACE_OBSERVER, TRACELEVEL_INFO, [&](std::ostream& t) {
        t << "CObservableCallbackQueue::RegisterCallbackQueue() called. this = " << this
          << ", Handle = " << queueHandle << ", Name = " << QueueName(queueHandle)
          << ", CallbackId = " << callbackId << ", CallbackId2 = " << callbackId2
          << ", SignalName = " << signalName;
    });
    if (QueueTypeIsBlocking(queueHandle)) {
        TraceLine(TRACE_OBSERVER, TRACELEVEL_ERROR, [&](std::ostream& t) {
            t << "CObservableCallbackQueue:: It is not allowed to register blocking queues. this = "
              << this << ", Handle = " << queueHandle << ", Name = " << QueueName(queueHandle)
              << ", Callback-Id = " << callbackId << ", Callback-Id2 = " << callbackId2
              << ", SignalName = " << signalName;
        });
        return;
    }
    if (queueHandle == 0) {
        TraceLine(TRACE_OBSERVER, TRACELEVEL_ERROR, [&](std::ostream& t) {
            t << "CObservableCallbackQueue::RegisterCallbackQueue() - Illegal queue handle 0. "
                 "this = "
              << this << ", Callback-Id = " << callbackId << ", Callback-Id2 = " << callbackId2
              << ", SignalName = " << signalName;
        });
        return;
    }
    pthread_mutex_lock(&m_mutex);
    if (AlreadyRegisteredWithCallbackQueueNoMutex(queueHandle, signalName)) {
        TraceLine(TRACE_OBSERVER, TRACELEVEL_WARNING, [&](std::ostream& t) {
            t << "CObservableCallbackQueue::Queue already registered. this = " << this
              << ", Handle = " << queueHandle << ", Name = " << QueueName(queueHandle)
              << ", SignalName = " << signalName;
        });
    } else {
        m_observers.push_back({queueHandle, callbackId, callbackId2, signalName});
    }
    pthread_mutex_unlock(&m_mutex);
}

void CObservableCallbackQueue::UnregisterCallbackQueue(int queueHandle, unsigned long signalName) {
    TraceLine(TRACE_OBSERVER, TRACELEVEL_INFO, [&](std::ostream& t) {
        t << "ObservableCallbackQueue::UnregisterCallbackQueue() called. this = " << this
          << ", Handle = " << queueHandle << ", Name = " << QueueName(queueHandle)
          << ", SignalName = " << signalName;
    });
    pthread_mutex_lock(&m_mutex);
    auto const record =
        std::find_if(m_observers.begin(), m_observers.end(), [&](T_QueueObserverInfo const& r) {
            return r.queueHandle == queueHandle && r.signalName == signalName;
        });
    if (record != m_observers.end()) {
        m_observers.erase(record);
    }
    pthread_mutex_unlock(&m_mutex);
}

void CObservableCallbackQueue::DeleteObserversWithCallbackQueue() {
    pthread_mutex_lock(&m_mutex);
    m_observers.clear();
    pthread_mutex_unlock(&m_mutex);
}

int CObservableCallbackQueue::CountObserversWithCallbackQueue(unsigned long signalName) {
    pthread_mutex_lock(&m_mutex);
    int const count = CountObserversForThisMsg(signalName);
    pthread_mutex_unlock(&m_mutex);
    return count;
}

bool CObservableCallbackQueue::AlreadyRegisteredWithCallbackQueue(int queueHandle,
                                                                  unsigned long signalName) {
    pthread_mutex_lock(&m_mutex);
    bool const registered = AlreadyRegisteredWithCallbackQueueNoMutex(queueHandle, signalName);
    pthread_mutex_unlock(&m_mutex);
    return registered;
}

bool CObservableCallbackQueue::AlreadyRegisteredWithCallbackQueueNoMutex(int queueHandle,
                                                                         unsigned long signalName) {
    for (auto const& record : m_observers) {
        if (record.queueHandle == queueHandle && ObservesSignal(record.signalName, signalName)) {
            TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
                t << "ObservableCallbackQueue::AlreadyRegisteredWithCallbackQueueNoMutex() - "
                     "QueueHandle = "
                  << queueHandle << ", QueueName = " << QueueName(queueHandle);
            });
            return true;
        }
    }
    return false;
}

int CObservableCallbackQueue::CountObserversForThisMsg(unsigned long signalName) {
    int count = 0;
    for (auto const& record : m_observers) {
        if (ObservesSignal(record.signalName, signalName)) {
            ++count;
            TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
                t << "ObservableCallbackQueue::CountObserversForThisMsg() - QueueHandle = "
                  << record.queueHandle << ", QueueName = " << QueueName(record.queueHandle)
                  << ", SignalName = " << signalName;
            });
        }
    }
    return count;
}

int CObservableCallbackQueue::NotifyObserversWithCallbackQueue(CQuorMsg* msg) {
    if (msg == nullptr) {
        return 0;
    }
    pthread_mutex_lock(&m_mutex);
    int const remaining = CountObserversForThisMsg(msg->m_signalName);
    TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "ObservableCallbackQueue::NotifyObserversWithCallbackQueue() called. Nr of msgs to "
             "send = "
          << remaining;
    });
    int result = 0;
    bool const delivered = FanOutToObservers(
        m_observers, remaining, msg,
        "==== FATAL ERROR ==== CObservableCallbackQueue::Signal size is not set - required to "
        "support msgs with signals to multiple observers\n",
        [&](T_QueueObserverInfo const& record, CQuorMsg* delivery) {
            TraceLine(TRACE_OBSERVER, TRACELEVEL_INFO, [&](std::ostream& t) {
                t << "ObservableCallbackQueue::NotifyObserversWithCallbackQueue() - sending msg "
                     "to queue (Handle = "
                  << record.queueHandle << ", Name = " << QueueName(record.queueHandle)
                  << ") : Signal = " << delivery->m_signalName
                  << ", SignalPtr = " << delivery->m_signalPtr
                  << ", CallbackId = " << delivery->m_callbackId
                  << ", CallbackId2 = " << delivery->m_callbackId2;
            });
            int const rc = CQuorMsgQueue::Send(record.queueHandle, delivery, 0);
            if (rc != 0) {
                result = rc;
            }
            totalNrOfQueueCallbacks.fetch_add(1, std::memory_order_relaxed);
        });
    pthread_mutex_unlock(&m_mutex);
    return delivered || remaining == 0 ? result : -1521;
}
