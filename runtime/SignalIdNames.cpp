#include "runtime/SignalIds.h"

namespace {

char const* const signalIdNames[SIG_ID_COUNT] = {
#define QUOR_SIGNAL_ID(name) #name,
#include "runtime/SignalIdList.h"
#undef QUOR_SIGNAL_ID
};

} // namespace

char const* GetSignalIdNamePtr(SignalIds id) {
    return id < SIG_ID_COUNT ? signalIdNames[id] : signalIdNames[SIG_ID_NULL];
}
