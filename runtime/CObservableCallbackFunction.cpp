#include "runtime/CObservableCallbackFunction.h"

#include <algorithm>

#include "runtime/CObserverCallbackFunction.h"
#include "runtime/CQuorMsg.h"
#include "runtime/ObserverFanOut.h"
#include "runtime/TraceLine.h"

std::atomic<unsigned> CObservableCallbackFunction::totalNrOfFunctionCallbacks{0};

CObservableCallbackFunction::CObservableCallbackFunction() {
    pthread_mutex_init(&m_mutex, nullptr);
}

CObservableCallbackFunction::~CObservableCallbackFunction() {
    pthread_mutex_destroy(&m_mutex);
}

void CObservableCallbackFunction::RegisterCallbackFunction(CObserverCallbackFunction& observer,
                                                           long callbackId, long callbackId2,
                                                           unsigned long signalName) {
    TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "CObservableCallbackFunction::RegisterCallbackFunction() called. this = " << this
          << ", reference = " << &observer << ", CallbackId = " << callbackId
          << ", CallbackId2 = " << callbackId2 << ", SignalName = " << signalName;
    });
    pthread_mutex_lock(&m_mutex);
    if (AlreadyRegisteredWithCallbackFunctionNoMutex(&observer, signalName)) {
        TraceLine(TRACE_OBSERVER, TRACELEVEL_WARNING, [&](std::ostream& t) {
            t << "CObservableCallbackFunction::Function already registered. this = " << this
              << ", Reference = " << &observer << ", SignalName = " << signalName;
        });
    } else {
        m_observers.push_back({&observer, callbackId, callbackId2, signalName});
    }
    pthread_mutex_unlock(&m_mutex);
}

void CObservableCallbackFunction::RegisterCallbackFunction(CObserverCallbackFunction* observer,
                                                           long callbackId, long callbackId2,
                                                           unsigned long signalName) {
    if (observer == nullptr) {
        TraceFormattedString(TRACE_OBSERVER, TRACELEVEL_ERROR,
                             "CObservableCallbackFunction::RegisterCallbackFunction() - Illegal "
                             "observer 0 - SignalName = %lu\n",
                             signalName);
        return;
    }
    RegisterCallbackFunction(*observer, callbackId, callbackId2, signalName);
}

void CObservableCallbackFunction::UnregisterCallbackFunction(CObserverCallbackFunction& observer,
                                                             unsigned long signalName) {
    TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "CObservableCallbackFunction::UnregisterCallbackFunction() called. this = " << this
          << ", Reference = " << &observer << ", SignalName = " << signalName;
    });
    pthread_mutex_lock(&m_mutex);
    auto const record =
        std::find_if(m_observers.begin(), m_observers.end(), [&](T_FunctionObserverInfo const& r) {
            return r.observer == &observer && r.signalName == signalName;
        });
    if (record != m_observers.end()) {
        m_observers.erase(record);
    }
    pthread_mutex_unlock(&m_mutex);
}

void CObservableCallbackFunction::DeleteObserversWithCallbackFunction() {
    pthread_mutex_lock(&m_mutex);
    m_observers.clear();
    pthread_mutex_unlock(&m_mutex);
}

int CObservableCallbackFunction::CountObserversWithCallbackFunction(unsigned long signalName) {
    pthread_mutex_lock(&m_mutex);
    int const count = CountObserversForThisMsg(signalName);
    pthread_mutex_unlock(&m_mutex);
    return count;
}

bool CObservableCallbackFunction::AlreadyRegisteredWithCallbackFunction(
    CObserverCallbackFunction& observer, unsigned long signalName) {
    pthread_mutex_lock(&m_mutex);
    bool const registered = AlreadyRegisteredWithCallbackFunctionNoMutex(&observer, signalName);
    pthread_mutex_unlock(&m_mutex);
    return registered;
}

bool CObservableCallbackFunction::AlreadyRegisteredWithCallbackFunctionNoMutex(
    CObserverCallbackFunction* observer, unsigned long signalName) {
    for (auto const& record : m_observers) {
        if (record.observer == observer && ObservesSignal(record.signalName, signalName)) {
            TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
                t << "ObservableCallbackFunction::AlreadyRegisteredWithCallbackFunctionNoMutex() "
                     "called - Function reference : "
                  << observer;
            });
            return true;
        }
    }
    return false;
}

int CObservableCallbackFunction::CountObserversForThisMsg(unsigned long signalName) {
    int count = 0;
    for (auto const& record : m_observers) {
        if (ObservesSignal(record.signalName, signalName)) {
            ++count;
            TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
                t << "CObservableCallbackFunction::CountObserversForThisMsg() - this = " << this
                  << ", Reference = " << record.observer << ", SignalName = " << signalName;
            });
        }
    }
    return count;
}

int CObservableCallbackFunction::NotifyObserversWithCallbackFunction(CQuorMsg* msg) {
    if (msg == nullptr) {
        return 0;
    }
    pthread_mutex_lock(&m_mutex);
    int const remaining = CountObserversForThisMsg(msg->m_signalName);
    TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
        t << "ObservableCallbackFunction::NotifyObserversWithCallbackFunction() called. Nr of "
             "msgs to send = "
          << remaining;
    });
    bool const delivered = FanOutToObservers(
        m_observers, remaining, msg,
        "==== FATAL ERROR ==== CObservableCallbackFunction::Signal size is not set - required "
        "to support msgs with signals to multiple observers\n",
        [&](T_FunctionObserverInfo const& record, CQuorMsg* delivery) {
            TraceLine(TRACE_OBSERVER, TRACELEVEL_DEBUG, [&](std::ostream& t) {
                t << "ObservableCallbackFunction::NotifyObserversWithCallbackFunction() - "
                     "sending msg (Reference = "
                  << record.observer << ") : Signal = " << delivery->m_signalName
                  << ", SignalPtr = " << delivery->m_signalPtr
                  << ", CallbackId = " << delivery->m_callbackId
                  << ", CallbackId2 = " << delivery->m_callbackId2;
            });
            record.observer->Callback(delivery);
            totalNrOfFunctionCallbacks.fetch_add(1, std::memory_order_relaxed);
        });
    pthread_mutex_unlock(&m_mutex);
    return delivered || remaining == 0 ? 0 : -1510;
}
