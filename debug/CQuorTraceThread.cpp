#include "debug/CQuorTraceThread.h"

#include <syslog.h>
#include <unistd.h>

#include <cstdio>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceOutput.h"

// User-provided, so that m_traceElements is left to the zero fill of static
// storage.
CQuorTraceThread::CQuorTraceThread() {}

CQuorTraceThread::~CQuorTraceThread() {
    StopThreadAndWait();
    // Nobody prints the ring from here on, and it goes with this object:
    // lines traced later in the process's end (the base class's stop, other
    // objects' destructors) are printed directly.
    quorTraceDirectPrint.store(true, std::memory_order_seq_cst);
}

T_TraceElement* CQuorTraceThread::GetFreeTraceSlot(unsigned short sequenceNumber) {
    m_ringMutex.lock();
    int const next = GetNextIndex(m_writeIndex.load(std::memory_order_relaxed));
    // Acquire: the printer is done with every slot before the read index.
    if (next == m_readIndex.load(std::memory_order_acquire)) {
        m_ringMutex.unlock();
        return nullptr;
    }
    T_TraceElement* const element = &m_traceElements[next];
    element->sequenceNumber = sequenceNumber;
    element->text[0] = '\0';
    return element;
}

char* CQuorTraceThread::GetFreeTraceElement(unsigned short sequenceNumber) {
    T_TraceElement* const element = GetFreeTraceSlot(sequenceNumber);
    return element != nullptr ? element->text : nullptr;
}

void CQuorTraceThread::PutTraceString() {
    int const next = GetNextIndex(m_writeIndex.load(std::memory_order_relaxed));
    m_writeIndex.store(next, std::memory_order_release);
    m_ringMutex.unlock();
}

void CQuorTraceThread::ClearTraceBuffer() {
    // Both locks: the printer must not be inside a slot that producers may
    // refill once the read index has jumped.
    std::lock_guard<std::mutex> printing(m_printMutex);
    std::lock_guard<std::mutex> ring(m_ringMutex);
    m_readIndex.store(m_writeIndex.load(std::memory_order_relaxed), std::memory_order_release);
}

bool CQuorTraceThread::IsSomethingToPrint() {
    std::lock_guard<std::mutex> ring(m_ringMutex);
    return m_readIndex.load(std::memory_order_relaxed) !=
           m_writeIndex.load(std::memory_order_relaxed);
}

void CQuorTraceThread::PrintNextTrace() {
    std::lock_guard<std::mutex> printing(m_printMutex);
    int const read = m_readIndex.load(std::memory_order_relaxed);
    // Acquire: the text of every slot up to the write index is complete.
    if (read == m_writeIndex.load(std::memory_order_acquire)) {
        return;
    }
    int const next = GetNextIndex(read);
    // Release: the slot printed before may now be refilled; this one stays
    // the printer's until the next call.
    m_readIndex.store(next, std::memory_order_release);
    T_TraceElement const& element = m_traceElements[next];

    unsigned short const sequenceNumber = element.sequenceNumber;
    // Plain output (number 0) and the counter's wrap to 0 never count as a gap.
    if (sequenceNumber != 0 && m_lastPrintedSequenceNumber != 0 &&
        static_cast<unsigned short>(m_lastPrintedSequenceNumber + 1) != sequenceNumber) {
        OutputGapMarker();
    }
    m_lastPrintedSequenceNumber = sequenceNumber;

    OutputTraceText(element.text, element.syslogPriority);
    if (quorTrace.IsTracingToFile()) {
        quorTrace.WriteToLogfile(element.text);
    }
    if (auto const userOutput = funcUserTraceOutputPtr.load(std::memory_order_acquire)) {
        userOutput(element.text);
    }
}

void CQuorTraceThread::OutputGapMarker() {
    if (quorTraceUseSyslog.load(std::memory_order_relaxed)) {
        syslog(LOG_INFO, "%s", "--- GAP ---\n");
    } else if (quorTrace.IsTracingToScreen()) {
        std::printf("--- GAP ---%s\n", quorTraceProcessPrefix.Get());
    }
    if (quorTrace.IsTracingToFile()) {
        quorTrace.WriteToLogfile("--- GAP ---\n");
    }
}

void CQuorTraceThread::ThreadWorkFunction() {
    // One line per 10 ms at most, and a slow poll when idle: tracing never
    // keeps a processor busy.
    while (!StopRequested()) {
        if (IsSomethingToPrint()) {
            PrintNextTrace();
            usleep(10000);
        } else {
            usleep(100000);
        }
    }
}
