#include "runtime/Timer.h"

void Timer::start() {
    m_stopped = 0;
    clock_gettime(CLOCK_MONOTONIC, &m_startTime);
}

void Timer::stop() {
    m_stopped = 1;
    clock_gettime(CLOCK_MONOTONIC, &m_endTime);
}

void Timer::UpdateEndTime() {
    if (m_stopped == 0) {
        clock_gettime(CLOCK_MONOTONIC, &m_endTime);
    }
}

double Timer::getElapsedTimeInMicroSec() {
    UpdateEndTime();
    long long const end = m_endTime.tv_sec * 1000000LL + m_endTime.tv_nsec / 1000;
    long long const start = m_startTime.tv_sec * 1000000LL + m_startTime.tv_nsec / 1000;
    return static_cast<double>(end - start);
}

double Timer::getElapsedTimeInMilliSec() {
    UpdateEndTime();
    long long const end = m_endTime.tv_sec * 1000LL + m_endTime.tv_nsec / 1000000;
    long long const start = m_startTime.tv_sec * 1000LL + m_startTime.tv_nsec / 1000000;
    return static_cast<double>(end - start);
}

double Timer::getElapsedTimeInSec() {
    return getElapsedTimeInMicroSec() * 0.000001;
}

double Timer::getElapsedTime() {
    return getElapsedTimeInSec();
}
