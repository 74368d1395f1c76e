#include "plugin/timer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

timer::timer() {
    sigevent event;
    std::memset(&event, 0, sizeof event);
    event.sigev_notify = SIGEV_THREAD;
    event.sigev_signo = 0;
    event.sigev_value.sival_ptr = this;
    event.sigev_notify_function = &timer::timeout_handler;
    event.sigev_notify_attributes = nullptr;
    if (timer_create(CLOCK_REALTIME, &event, &m_id) != 0) {
        perror("timer_create failed");
        exit(-1);
    }
}

timer::~timer() {
    if (timer_delete(m_id) != 0) {
        perror("timer_delete failed");
        exit(-1);
    }
}

void timer::timeout_handler(sigval value) {
    static_cast<timer*>(value.sival_ptr)->callback();
}
