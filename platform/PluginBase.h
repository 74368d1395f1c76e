#pragma once

#include "runtime/CQuorMsg.h"
#include "util/QuorExport.h"

// A client of the media player service. After MediaPlayerInterface::Register
// the service calls ProcessQuorMsg on its own thread for every response and
// indication; the message stays the caller's.
class QUOR_EXPORT PluginBase {
public:
    virtual ~PluginBase() = default;
    virtual void ProcessQuorMsg(CQuorMsg* msg) = 0;
};
