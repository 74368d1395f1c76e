#pragma once

#include "runtime/CThreadObject.h"

// A thread that blocks in a system call (a socket read, for example) and is
// therefore stopped by cancellation. Its work function must not hold locks
// across cancellation points.
class QUOR_EXPORT CThreadObjectBlockingWait : public CThreadObject {
public:
    CThreadObjectBlockingWait() = default;
    explicit CThreadObjectBlockingWait(int dbgId) : CThreadObject(dbgId) {}
    ~CThreadObjectBlockingWait() override;

    // Cancels the thread, then sets the stop flag.
    void StopThread() override;
    // Cancels the thread, then joins it.
    void StopThreadAndWait() override;
    int GetThreadType() override;
};
