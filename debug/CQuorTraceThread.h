#pragma once

#include <atomic>
#include <mutex>

#include "debug/TraceLineFormat.h"
#include "runtime/CThreadObject.h"
#include "util/QuorExport.h"

// One slot of the trace ring.
struct T_TraceElement {
    char text[traceLineSize];
    unsigned short sequenceNumber;
    int syslogPriority;
};

// The ring of queued trace lines and the printer thread "QuorTrace" that
// drains it to the outputs (one global object, quorTraceThread).
//
// Any thread fills a slot between GetFreeTraceElement and PutTraceString,
// holding the ring mutex; nothing in between may trace. The printer takes
// lines without the ring mutex: the slot at the read index is never handed to
// a producer, so at most 1999 lines wait.
class QUOR_EXPORT CQuorTraceThread : public CThreadObject {
public:
    static constexpr int nrOfTraceElements = 2000;

    CQuorTraceThread();
    ~CQuorTraceThread() override;

    CQuorTraceThread(CQuorTraceThread const&) = delete;
    CQuorTraceThread& operator=(CQuorTraceThread const&) = delete;

    int GetNextIndex(int index) const { return index == m_lastIndex ? 0 : index + 1; }

    // Takes the next free slot for a line with this sequence number and
    // returns it with the ring mutex held; null (and the mutex released) when
    // the ring is full.
    T_TraceElement* GetFreeTraceSlot(unsigned short sequenceNumber);
    // The text buffer of GetFreeTraceSlot.
    char* GetFreeTraceElement(unsigned short sequenceNumber);
    // Hands the slot taken last to the printer and releases the ring mutex.
    void PutTraceString();

    // Discards the lines that wait.
    void ClearTraceBuffer();
    bool IsSomethingToPrint();
    // Outputs the next waiting line, preceded by "--- GAP ---" when lines were
    // lost since the last one. Does nothing when no line waits. Must not be
    // called from the user output function it calls.
    void PrintNextTrace();

protected:
    void ThreadWorkFunction() override;

private:
    void OutputGapMarker();

    // Held from GetFreeTraceSlot to PutTraceString.
    std::mutex m_ringMutex;
    // Held by whoever moves the read index: the printer, or a clear.
    std::mutex m_printMutex;
    // The slot printed last; the printer publishes with release that it is
    // done with the slot before.
    std::atomic<int> m_readIndex{0};
    // The slot filled last; published with release when a line is complete.
    std::atomic<int> m_writeIndex{0};
    int const m_lastIndex = nrOfTraceElements - 1;
    // Not initialised here: the object lives in static storage, zero-filled,
    // and touching its 4 MB at load would cost every process the pages.
    T_TraceElement m_traceElements[nrOfTraceElements];
    unsigned short m_lastPrintedSequenceNumber = 0;
};

QUOR_EXPORT extern CQuorTraceThread quorTraceThread;
