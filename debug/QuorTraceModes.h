#pragma once

#include <atomic>

#include "debug/CTraceProcessPrefix.h"
#include "debug/QuorTrace.h"
#include "util/QuorExport.h"

// The output modes of the trace facility. Any thread may change them at any
// time; a change takes effect with the next line. They carry no data between
// threads, so relaxed loads and stores suffice.

// Lines are output by the calling thread instead of through the ring buffer.
QUOR_EXPORT extern std::atomic<bool> quorTraceDirectPrint;
// In direct-print mode, lines also go to the log file.
QUOR_EXPORT extern std::atomic<bool> quorTraceWriteToLogfileIfDirectPrint;
// Lines go to syslog instead of the screen.
QUOR_EXPORT extern std::atomic<bool> quorTraceUseSyslog;
QUOR_EXPORT extern std::atomic<bool> quorTraceWithColors;
// OR'ed into the syslog priority of every line.
QUOR_EXPORT extern std::atomic<int> quorSyslogFacility;

// The process prefix of every line and the initial prefix it returns to.
QUOR_EXPORT extern CTraceProcessPrefix quorTraceProcessPrefix;

// Sequence number of the last accepted trace line; wraps from 65535 to 0.
QUOR_EXPORT extern std::atomic<unsigned short> quorTraceCtr;

// Receives every line the printer thread outputs. Stored with release and
// loaded with acquire, so that what the function reads was set up before it
// was registered.
QUOR_EXPORT extern std::atomic<T_UserTraceOutputFunction> funcUserTraceOutputPtr;
