#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "debug/CPwiLog.h"
#include "util/FileTestSupport.h"

// Writers on several threads share one log, as tracing threads share the
// trace log in direct-print mode. Every line carries its thread and number,
// so that lost, doubled or torn lines show.

namespace {

using testfs::ReadFile;
using testfs::TempDir;

constexpr int writerCount = 4;

std::string Line(int thread, int number) {
    char text[64];
    std::snprintf(text, sizeof text, "thread %d line %06d ........................\n", thread,
                  number);
    return text;
}

// Each writer writes linesEach lines. Every write succeeds, unless `failures`
// is given: it counts the writes that failed, each with WRITE_FAILED.
void RunWriters(CPwiLog& log, int linesEach, std::atomic<int>* failures = nullptr) {
    std::vector<std::thread> writers;
    for (int thread = 0; thread < writerCount; ++thread) {
        writers.emplace_back([&log, thread, linesEach, failures] {
            for (int number = 0; number < linesEach; ++number) {
                int const result = log.WriteStringToLogfile(Line(thread, number).c_str());
                if (failures != nullptr && result != 0) {
                    EXPECT_EQ(result, CPwiLog::WRITE_FAILED);
                    failures->fetch_add(1, std::memory_order_relaxed);
                } else {
                    EXPECT_EQ(result, 0);
                }
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
}

// Splits a log into its lines by writer; fails on any line that is not one
// whole line as written.
std::map<int, std::vector<int>> LinesByWriter(std::string const& content) {
    std::map<int, std::vector<int>> numbers;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        int thread = -1;
        int number = -1;
        EXPECT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &thread, &number), 2) << line;
        EXPECT_EQ(line + "\n", Line(thread, number)) << "torn line";
        numbers[thread].push_back(number);
    }
    EXPECT_TRUE(content.empty() || content.back() == '\n');
    return numbers;
}

// Rotation while others write: both files hold whole lines only, neither
// passes the limit, and every line in the log is newer than every line of the
// same writer in the backup.
TEST(CPwiLogThreads, RotationUnderConcurrentWritesKeepsWholeOrderedLines) {
    TempDir dir;
    long const limit = 20000;
    CPwiLog log(dir.Path().c_str(), "trace", limit, "log", "bak");
    ASSERT_EQ(log.OpenLogfile(true), 0);
    RunWriters(log, 2000);
    ASSERT_EQ(log.CloseLogfile(true), 0);

    std::string const current = ReadFile(dir / "trace.log");
    std::string const backup = ReadFile(dir / "trace.bak");
    EXPECT_LE(static_cast<long>(current.size()), limit);
    EXPECT_LE(static_cast<long>(backup.size()), limit);
    EXPECT_GT(backup.size(), static_cast<std::size_t>(limit) / 2);
    std::map<int, std::vector<int>> const newer = LinesByWriter(current);
    std::map<int, std::vector<int>> const older = LinesByWriter(backup);
    auto const expectConsecutive = [](std::vector<int> const& list, int thread) {
        for (std::size_t i = 1; i < list.size(); ++i) {
            ASSERT_EQ(list[i], list[i - 1] + 1) << "writer " << thread;
        }
    };
    for (auto const& [thread, list] : older) {
        expectConsecutive(list, thread);
        auto const later = newer.find(thread);
        if (later != newer.end() && !later->second.empty()) {
            EXPECT_EQ(later->second.front(), list.back() + 1) << "writer " << thread;
        }
    }
    for (auto const& [thread, list] : newer) {
        expectConsecutive(list, thread);
        // The last line of every writer is in the current log.
        EXPECT_EQ(list.back(), 1999) << "writer " << thread;
    }
}

// When the medium fails under several writers, exactly one of them learns
// it; the others' writes are dropped quietly.
TEST(CPwiLogThreads, OneWriterReportsAFailingMedium) {
    TempDir dir;
    ASSERT_EQ(::symlink("/dev/full", (dir / "trace.log").c_str()), 0);
    CPwiLog log(dir.Path().c_str(), "trace", 0, "log", "bak");
    ASSERT_EQ(log.OpenLogfile(true), 0);
    std::atomic<int> failures{0};
    RunWriters(log, 500, &failures);
    EXPECT_EQ(failures.load(), 1);
    EXPECT_EQ(log.GetState(), CPwiLog::STATE_FAILED);
}

} // namespace
