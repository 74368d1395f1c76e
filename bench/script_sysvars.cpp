#include <benchmark/benchmark.h>

#include <string>

#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"
#include "script/SILScriptCommands.h"
#include "script/SILSysVars.h"

// System variables read and written from one and from two threads (the
// second thread contends for the one mutex), and a script loop that reads a
// variable on every pass.
namespace {

void Setup() {
    static bool const done = [] {
        SILCreateSysVarInt("BENCH_INT");
        SILCreateSysVarString("BENCH_STRING");
        QSH_RegisterCommands(nullptr);
        return true;
    }();
    (void)done;
}

void GetSysVarInt(benchmark::State& state) {
    Setup();
    std::string const name = "BENCH_INT";
    for (auto _ : state) {
        benchmark::DoNotOptimize(SILGetSysVarInt(name));
    }
}
BENCHMARK(GetSysVarInt)->Threads(1)->Threads(2)->UseRealTime();

void SetSysVarString(benchmark::State& state) {
    Setup();
    std::string const name = "BENCH_STRING";
    std::string const value = "/mnt/share/extUSB/sda1/quoralog/";
    for (auto _ : state) {
        benchmark::DoNotOptimize(SILSetSysVarString(name, value));
    }
}
BENCHMARK(SetSysVarString)->Threads(1)->Threads(2)->UseRealTime();

constexpr int kLoops = 1000;

// One pass: read the variable into a script variable, add it, count.
void ScriptLineReadingAVariable(benchmark::State& state) {
    Setup();
    static int program[sil::kProgramBufferSize / sizeof(int)];
    char source[] = "VAR int i v sum\n"
                    "while i < 1000\n"
                    "  v <- get_sys_var_int \"BENCH_INT\"\n"
                    "  sum <- add sum v\n"
                    "  i <- add i 1\n"
                    "wend\n"
                    "i <- 0\n";
    SILCompile(source, program, sizeof program);
    if (program[sil::kHeaderResult] != 0) {
        state.SkipWithError(SILLastError());
        return;
    }
    for (auto _ : state) {
        SILRun(program, 0, nullptr);
    }
    state.counters["per_loop"] = benchmark::Counter(
        kLoops, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ScriptLineReadingAVariable);

} // namespace

BENCHMARK_MAIN();
