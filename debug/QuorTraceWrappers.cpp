#include <syslog.h>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"

int QuorTrace_Init(char const* processName) {
    return quorTrace.Init(processName, LOG_LOCAL0);
}

T_TraceLevel GetTraceActivationState(unsigned unit) {
    return quorTrace.GetTraceActivationState(unit);
}

int SetTraceOn(unsigned unit, T_TraceLevel level) {
    return quorTrace.SetTraceOn(unit, level);
}

int SetTraceOff(unsigned unit) {
    return quorTrace.SetTraceOff(unit);
}

int PrintTraceActivationState(unsigned unit) {
    return quorTrace.PrintTraceActivationState(unit, false);
}

int PrintAllTraceActivationStates() {
    return quorTrace.PrintAllTraceActivationStates();
}

int RegisterUserDefinedTraceOutputFunction(T_UserTraceOutputFunction function) {
    funcUserTraceOutputPtr.store(function, std::memory_order_release);
    return 0;
}

int UnregisterUserDefinedTraceOutputFunction() {
    funcUserTraceOutputPtr.store(nullptr, std::memory_order_release);
    return 0;
}
