#pragma once

#include <signal.h>
#include <stdint.h>
#include <time.h>

#include <boost/function.hpp>

#include "util/QuorExport.h"

// One POSIX timer whose expiry runs callback on a notification thread.
// Creating or deleting the timer never fails quietly: a failure ends the
// process after perror.
class QUOR_EXPORT timer {
public:
    timer();
    ~timer();
    timer(timer const&) = delete;
    timer& operator=(timer const&) = delete;

    // The timer's thread-notification function: runs the callback of the
    // timer that value points to. An empty callback throws
    // boost::bad_function_call ("call to empty boost::function").
    static void timeout_handler(sigval value);

    boost::function<void()> callback;

private:
    timer_t m_id;
    // Part of the object's layout; not read.
    [[maybe_unused]] int32_t m_overruns = 0;
    [[maybe_unused]] itimerspec m_spec = {{0, 0}, {0, 0}};
};
