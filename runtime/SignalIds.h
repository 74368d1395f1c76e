#pragma once

#include "util/QuorExport.h"

// Signal ids of the system. A message's m_signalName holds one of these.
enum SignalIds : unsigned long {
#define QUOR_SIGNAL_ID(name) name,
#include "runtime/SignalIdList.h"
#undef QUOR_SIGNAL_ID
    SIG_ID_COUNT
};

static_assert(SIG_ID_COUNT == 672, "the signal catalogue has 672 ids");
static_assert(SIG_ID_FIRST_GENERAL_MSG == 1 && SIG_ID_STOP_THREAD == 31 &&
                  SIG_ID_MPLAYER_VIDEO_FORMAT_CHANGED == 43 &&
                  SIG_ID_MPLAYER_PROCESS_STARTED_IND == 444 && SIG_ID_MPLAYER_URL_INFO_IND == 531 &&
                  SIG_ID_EXECUTE_CFG_FILE_IN_THREAD == 655 && SIG_ID_MPLAYERITF_ACTOR_INIT == 671,
              "ids other processes rely on keep their values");

// The name of a signal id for traces; "SIG_ID_NULL" for ids out of range.
// Points to constant storage.
QUOR_EXPORT char const* GetSignalIdNamePtr(SignalIds id);
