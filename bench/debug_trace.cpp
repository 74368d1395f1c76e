#include <benchmark/benchmark.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/ScratchDirectory.h"
#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "debug/QuorTraceModes.h"
#include "debug_empty_call.h"

namespace {

// The trace header as the facility writes it, in one format for the baselines.
constexpr char lineFormat[] = "[%05u] %08x %s%svalue %d of %s\n";

unsigned ThreadId() {
    return static_cast<unsigned>(pthread_self());
}

void BM_EmptyOutOfLineCall(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        EmptyTraceCall(TRACE_TIMER, TRACELEVEL_DEBUG, "value %d of %s\n", ++i, "stream");
    }
}
BENCHMARK(BM_EmptyOutOfLineCall);

void BM_SuppressedTraceFormattedString(benchmark::State& state) {
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_WARNING);
    int i = 0;
    for (auto _ : state) {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_DEBUG, "value %d of %s\n", ++i, "stream");
    }
}
BENCHMARK(BM_SuppressedTraceFormattedString);

void BM_FprintfLineToFile(benchmark::State& state) {
    ScratchDirectory directory;
    FILE* const file = std::fopen((directory.Path() + "baseline.log").c_str(), "a+");
    if (file == nullptr) {
        state.SkipWithError("cannot open the file");
        return;
    }
    unsigned short sequenceNumber = 0;
    int i = 0;
    for (auto _ : state) {
        std::fprintf(file, lineFormat, ++sequenceNumber, ThreadId(), " ", "", ++i, "stream");
    }
    std::fclose(file);
}
BENCHMARK(BM_FprintfLineToFile);

void BM_DirectPrintLineToLogFile(benchmark::State& state) {
    ScratchDirectory directory;
    quorTrace.SetTraceModeDirectPrint(1);
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
    quorTrace.SetTraceFileMaxSize(0); // rotation is not what is measured
    std::string const output = directory.Path();
    if (quorTrace.StartTracingToFile(output.c_str(), "bench") != 0) {
        state.SkipWithError("cannot start tracing to file");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "value %d of %s\n", ++i, "stream");
    }
    quorTrace.StopTracingToFile();
}
BENCHMARK(BM_DirectPrintLineToLogFile);

void BM_SnprintfLine(benchmark::State& state) {
    static char line[traceLineSize];
    unsigned short sequenceNumber = 0;
    int i = 0;
    for (auto _ : state) {
        std::snprintf(line, sizeof line, lineFormat, ++sequenceNumber, ThreadId(), " ", "", ++i,
                      "stream");
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_SnprintfLine);

void BM_QueuedLineIntoRing(benchmark::State& state) {
    quorTrace.SetTraceModeDirectPrint(0);
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
    int i = 0;
    for (auto _ : state) {
        TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "value %d of %s\n", ++i, "stream");
        // No printer runs: empty the ring before it fills (amortised over
        // 1000 lines), so that every line is formatted, none dropped.
        if (i % 1000 == 0) {
            quorTraceThread.ClearTraceBuffer();
        }
    }
    quorTraceThread.ClearTraceBuffer();
    quorTrace.SetTraceModeDirectPrint(1);
}
BENCHMARK(BM_QueuedLineIntoRing);

} // namespace

BENCHMARK_MAIN();
