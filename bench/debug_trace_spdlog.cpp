// What a C++ developer would use instead of the trace facility: spdlog's
// synchronous file logger, measured in the same program as the direct-printed
// line to the log file, with the same information per line (a sequence
// number, the thread id, "value N of stream"). Built only when spdlog is
// installed.
#include <benchmark/benchmark.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <memory>

#include "bench/ScratchDirectory.h"

namespace {

std::shared_ptr<spdlog::logger> MakeFileLogger(std::string const& file) {
    auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(file);
    auto logger = std::make_shared<spdlog::logger>("bench", sink);
    logger->set_pattern("[%t] %v");
    logger->set_level(spdlog::level::info);
    return logger;
}

void BM_SpdlogLineToFile(benchmark::State& state) {
    ScratchDirectory directory;
    auto const logger = MakeFileLogger(directory.Path() + "spdlog.log");
    unsigned short sequenceNumber = 0;
    int i = 0;
    for (auto _ : state) {
        logger->info("[{:05}] value {} of {}", ++sequenceNumber, ++i, "stream");
    }
    logger->flush();
}
BENCHMARK(BM_SpdlogLineToFile);

// The level check of a call below the logger's level.
void BM_SpdlogFilteredCall(benchmark::State& state) {
    ScratchDirectory directory;
    auto const logger = MakeFileLogger(directory.Path() + "spdlog.log");
    int i = 0;
    for (auto _ : state) {
        logger->debug("value {} of {}", ++i, "stream");
    }
}
BENCHMARK(BM_SpdlogFilteredCall);

} // namespace
