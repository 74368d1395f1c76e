// Reading a configuration file of 10 000 lines that each run a no-op shell
// command (line read, keyword split, parse and look-up in the shell, call)
// next to reading the same file with a plain fgets loop, and the reader with a
// callback that does nothing. Items are lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "script/CCfgFile.h"
#include "shell/CQshell.h"

namespace {

constexpr int kLines = 10000;

int Nop(CommandStruct*) {
    return 0;
}

// Line 0: the bare command; line 1: with two parameters and a comment.
char const* const kLineKinds[] = {"QSHELL=t_nop\n", "QSHELL = t_nop 1 two # no-op\n"};

std::string paths[2];

void RemoveFiles() {
    for (std::string const& path : paths) {
        unlink(path.c_str());
    }
}

// The file of one line kind; both are written when first used, removed at exit.
std::string const& CfgFilePath(int kind) {
    if (paths[0].empty()) {
        for (int k = 0; k < 2; ++k) {
            paths[k] = "/tmp/quor_bench_cfg_" + std::to_string(getpid()) + "_" + std::to_string(k);
            FILE* file = std::fopen(paths[k].c_str(), "w");
            for (int i = 0; file != nullptr && i < kLines; ++i) {
                std::fputs(kLineKinds[k], file);
            }
            if (file != nullptr) {
                std::fclose(file);
            }
        }
        std::atexit(RemoveFiles);
    }
    return paths[kind];
}

void BM_ReadCfgFile(benchmark::State& state) {
    qshell.AddQshellCmd(2, "t_nop", "bench", "does nothing", Nop, nullptr,
                        !qshell.QshellEntryExists("t_nop"));
    CCfgFile reader;
    std::string const& path = CfgFilePath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (reader.ReadCfgfile(path.c_str()) != 0) {
            state.SkipWithError("the file failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReadCfgFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The reader alone: every keyword line goes to a callback that does nothing.
int IgnoreLine(char*, char*, char const*, int, char) {
    return 0;
}

void BM_ReadCfgFileWithoutShell(benchmark::State& state) {
    CCfgFile reader;
    std::string const& path = CfgFilePath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.ReadCfgfileEx(path.c_str(), IgnoreLine, '#', ','));
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReadCfgFileWithoutShell)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FgetsOnly(benchmark::State& state) {
    char line[CFG_LINE_BUFFER_SIZE];
    std::string const& path = CfgFilePath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "rb");
        int lines = 0;
        while (file != nullptr && std::fgets(line, sizeof line, file) != nullptr) {
            ++lines;
        }
        if (file != nullptr) {
            std::fclose(file);
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_FgetsOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
