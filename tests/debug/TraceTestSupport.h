#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstdio>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "debug/CQuorTraceThread.h"
#include "debug/QuorTrace.h"

// The header of a trace line written by the calling thread.
inline std::string TraceHeader(unsigned short sequenceNumber, std::string const& prefix = " ") {
    char header[64];
    std::snprintf(header, sizeof header, "[%05u] %08x %s", sequenceNumber,
                  static_cast<unsigned>(pthread_self()), prefix.c_str());
    return header;
}

// The line after its 24-character timestamp; a failure when the line does
// not start with one.
inline std::string WithoutTimestamp(std::string const& line) {
    static std::regex const stamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
    EXPECT_TRUE(line.size() >= 24 && std::regex_match(line.substr(0, 24), stamp)) << line;
    return line.size() >= 24 ? line.substr(24) : line;
}

// What the code under test prints on standard output.
template <typename Action> std::string ScreenOutputOf(Action&& action) {
    testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// Outputs every line waiting in the ring, without the printer thread.
inline void DrainTraceRing() {
    while (quorTraceThread.IsSomethingToPrint()) {
        quorTraceThread.PrintNextTrace();
    }
}

// Collects what the printer hands to the user output function.
class UserOutputCapture {
public:
    UserOutputCapture() { RegisterUserDefinedTraceOutputFunction(&Receive); }
    ~UserOutputCapture() { UnregisterUserDefinedTraceOutputFunction(); }

    static std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(Mutex());
        return Store();
    }

private:
    static void Receive(char const* text) {
        std::lock_guard<std::mutex> lock(Mutex());
        Store().emplace_back(text);
    }
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<std::string>& Store() {
        static std::vector<std::string> lines;
        return lines;
    }
};
