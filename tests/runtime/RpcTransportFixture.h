#pragma once

#include <fcntl.h>

#include "RpcTestSupport.h"
#include "RuntimeTestSupport.h"
#include "runtime/CQuorRpcMsgDestPosix.h"

namespace rpc_test {

// A destination (function name without the leading "/") whose observer queue
// is registered with callback id 7. Its public queue is removed when it goes.
struct Destination {
    explicit Destination(std::string functionName) : name(std::move(functionName)) {
        EXPECT_EQ(observers.Open(runtime_test::UniqueQueueName("obs").c_str(),
                                 O_RDWR | O_CREAT | O_NONBLOCK, 0600, 10, true),
                  0);
        EXPECT_EQ(dest.Init(name.c_str(), nullptr, 0, observers.GetHandle(), 7), 0);
    }
    ~Destination() { mq_unlink(("/" + name).c_str()); }

    std::string name;
    CQuorMsgQueue observers;
    CQuorRpcMsgDestPosix dest;
};

inline std::string UniqueFunctionName() {
    return runtime_test::UniqueQueueName("rpc").substr(1);
}

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
