#pragma once

// Shared by the transport suites and the source process they start.

#include <mqueue.h>

#include <cstring>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "platform/ChipUtilCPUComm.h"
#include "runtime/CQuorMsg.h"

namespace rpc_test {

// Message index of a run: signal and user data from the index, a payload of
// 1 to 4096 random bytes from seed and index; every 16th message has no
// payload (but a size, which copies of the message do not keep).
inline std::vector<unsigned char> TestPayload(unsigned seed, int index) {
    std::minstd_rand random(seed * 40009u + static_cast<unsigned>(index));
    std::vector<unsigned char> bytes(index % 16 == 5 ? 0 : 1 + random() % 4096);
    for (auto& byte : bytes) {
        byte = static_cast<unsigned char>(random() >> 7);
    }
    return bytes;
}

inline CQuorMsg TestMessage(unsigned seed, int index) {
    CQuorMsg msg(100 + static_cast<unsigned long>(index % 300));
    msg.m_userData = index;
    std::vector<unsigned char> const payload = TestPayload(seed, index);
    msg.m_signalSize = payload.empty() ? 77 : static_cast<int>(payload.size());
    if (!payload.empty()) {
        msg.m_signalPtr = ::operator new(payload.size());
        std::memcpy(msg.m_signalPtr, payload.data(), payload.size());
    }
    return msg;
}

inline bool IsTestMessage(CQuorMsg const& msg, unsigned seed, int index) {
    std::vector<unsigned char> const payload = TestPayload(seed, index);
    bool const payloadOk =
        payload.empty()
            ? msg.m_signalPtr == nullptr
            : msg.m_signalPtr != nullptr && msg.m_signalSize == static_cast<int>(payload.size()) &&
                  std::memcmp(msg.m_signalPtr, payload.data(), payload.size()) == 0;
    return msg.m_signalName == 100 + static_cast<unsigned long>(index % 300) &&
           msg.m_userData == index && payloadOk;
}

} // namespace rpc_test
