#pragma once

// Shared by the transport suites and the source process they start.

#include <fcntl.h>

#include <algorithm>
#include <random>
#include <vector>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorRpcMsgDestPosix.h"

namespace rpc_test {

// Message index of a run: signal and user data from the index and, but for
// every 16th, a payload of 1 to 4096 random bytes from seed and index.
inline std::vector<unsigned char> TestPayload(unsigned seed, int index) {
    std::minstd_rand random(seed * 40009u + static_cast<unsigned>(index));
    std::vector<unsigned char> bytes(index % 16 == 5 ? 0 : 1 + random() % 4096);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<unsigned char>(random()); });
    return bytes;
}

inline CQuorMsg TestMessage(unsigned seed, int index) {
    CQuorMsg msg(100 + static_cast<unsigned long>(index % 300));
    msg.m_userData = index;
    std::vector<unsigned char> const payload = TestPayload(seed, index);
    msg.m_signalSize = static_cast<int>(payload.size());
    if (!payload.empty()) {
        msg.m_signalPtr =
            std::memcpy(::operator new(payload.size()), payload.data(), payload.size());
    }
    return msg;
}

inline bool IsTestMessage(CQuorMsg const& msg, unsigned seed, int index) {
    std::vector<unsigned char> const payload = TestPayload(seed, index);
    return msg.m_signalName == 100 + static_cast<unsigned long>(index % 300) &&
           msg.m_userData == index && msg.m_signalSize == static_cast<int>(payload.size()) &&
           (payload.empty()
                ? msg.m_signalPtr == nullptr
                : msg.m_signalPtr != nullptr &&
                      std::memcmp(msg.m_signalPtr, payload.data(), payload.size()) == 0);
}

// A destination whose observer queue has callback id 7; its public queue,
// "/" + name, is removed when it goes.
struct Destination {
    explicit Destination(std::string functionName = runtime_test::UniqueQueueName("rpc").substr(1))
        : name(std::move(functionName)) {
        observers.Open(runtime_test::UniqueQueueName("obs").c_str(), O_RDWR | O_CREAT | O_NONBLOCK,
                       0600, 10, true);
        EXPECT_EQ(dest.Init(name.c_str(), nullptr, 0, observers.GetHandle(), 7), 0);
    }
    ~Destination() { mq_unlink(("/" + name).c_str()); }
    std::string name;
    CQuorMsgQueue observers;
    CQuorRpcMsgDestPosix dest;
};

// Every test has a shared-memory segment of its own and leaves no block in it.
class RpcTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CPUCommStandInSetSegment(segment.c_str(), 1 << 20), 0); }
    void TearDown() override {
        EXPECT_EQ(CPUCommStandInBlocksInUse(), 0) << "a shared block leaked";
        EXPECT_EQ(runtime_test::CountedObject::live.load(), 0) << "a payload leaked";
        CPUCommStandInRemoveSegment();
    }
    std::string const segment = runtime_test::UniqueQueueName("segment");
};

} // namespace rpc_test
