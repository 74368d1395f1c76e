#pragma once

// Helpers shared by the runtime suites: unique queue names, counted payloads
// and capture of what the user sees on stdout.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "debug/CQuorTrace.h"
#include "runtime/CQuorMsg.h"
#include "support/TraceCapture.h"

namespace runtime_test {

using testing::HasSubstr;
constexpr int nonBlocking = O_RDWR | O_CREAT | O_NONBLOCK;

// A queue name no other test process uses at the same time.
inline std::string UniqueQueueName(char const* what) {
    static int counter = 0;
    return "/quor_test_" + std::string(what) + "_" + std::to_string(getpid()) + "_" +
           std::to_string(++counter);
}

// A signal object that counts live instances, to see releases.
class CountedObject : public CSignalObject {
public:
    CountedObject() { live.fetch_add(1); }
    CountedObject(CountedObject const& other) : CSignalObject(other) { live.fetch_add(1); }
    ~CountedObject() override { live.fetch_sub(1); }
    CSignalObject* Clone() const override { return new CountedObject(*this); }

    static std::atomic<int> live;
};
inline std::atomic<int> CountedObject::live{0};

// A message with a heap payload of size bytes filled with fill and a counted object.
inline CQuorMsg MessageWithPayload(unsigned long signal, int size, unsigned char fill) {
    CQuorMsg msg(signal);
    msg.m_signalPtr = ::operator new(static_cast<std::size_t>(size));
    std::memset(msg.m_signalPtr, fill, static_cast<std::size_t>(size));
    msg.m_signalSize = size;
    msg.m_objPtr = new CountedObject;
    return msg;
}

// Polls cond every millisecond for up to timeoutMs; true once it holds.
template <typename Cond> bool WaitFor(Cond cond, int timeoutMs = 5000) {
    auto const end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Number of lines of text that contain needle.
inline int CountLines(std::string const& text, std::string const& needle) {
    int count = 0;
    for (std::size_t pos = text.find(needle); pos != std::string::npos;
         pos = text.find(needle, pos + needle.size())) {
        ++count;
    }
    return count;
}

// What f prints on the screen with screen tracing on.
template <typename F> std::string ScreenOf(F f) {
    quorTrace.StartTracingToScreen();
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

} // namespace runtime_test
