#include <syslog.h>

#include <cstdio>
#include <forward_list>
#include <mutex>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "debug/QuorTraceCmds.h"
#include "debug/QuorTraceModes.h"
#include "script/SILSysVars.h"

namespace {

// openlog keeps the pointer it is given; the name must outlive every later
// syslog call, whatever the caller does with its own string.
char const* KeepSyslogIdent(char const* processName) {
    if (processName == nullptr) {
        return nullptr;
    }
    static std::mutex mutex;
    static std::forward_list<std::string> idents;
    std::lock_guard<std::mutex> lock(mutex);
    idents.emplace_front(processName);
    return idents.front().c_str();
}

} // namespace

int CQuorTrace::Init(char const* processName, int syslogFacility) {
    quorSyslogFacility.store(syslogFacility, std::memory_order_relaxed);
    openlog(KeepSyslogIdent(processName), LOG_NOWAIT, syslogFacility);
    AddQuorTraceQshellCmds();
    quorTraceProcessPrefix.AddProcessName(processName);
    // Where the trace log goes, once tracing to a file starts.
    SILCreateSysVarString(logPathVariable);
    int const result = quorTraceThread.StartThread("QuorTrace", 0, 0);
    if (result < 0) {
        std::printf("%s%s%d%s", "\033[31m",
                    "ERROR: CQuorTrace::Init() - Error while starting QuorTrace thread - rc = ",
                    result, "\033[0m");
    }
    return result;
}
