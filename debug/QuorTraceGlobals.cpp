// The trace facility's global objects, defined in one place so that they are
// constructed in this order when the library loads.
#include <syslog.h>

#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "debug/QuorTraceModes.h"

std::atomic<bool> quorTraceDirectPrint{true};
std::atomic<bool> quorTraceWriteToLogfileIfDirectPrint{true};
std::atomic<bool> quorTraceUseSyslog{false};
std::atomic<bool> quorTraceWithColors{true};
std::atomic<int> quorSyslogFacility{LOG_LOCAL0};
std::atomic<unsigned short> quorTraceCtr{0};
std::atomic<T_UserTraceOutputFunction> funcUserTraceOutputPtr{nullptr};

CTraceProcessPrefix quorTraceProcessPrefix;
CQuorTrace quorTrace;
CQuorTraceThread quorTraceThread;
