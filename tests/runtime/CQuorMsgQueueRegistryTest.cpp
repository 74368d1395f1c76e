#include <fcntl.h>
#include <sys/resource.h>

#include <cstdio>
#include <vector>

#include "RuntimeTestSupport.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

using namespace runtime_test;

std::string Listing(int handle) {
    return ScreenOf([handle] { CQuorMsgQueue::ListGlobalMsgQueueList(handle); });
}

std::string const header = "List of queues\n"
                           "handle | size | max. used | cur. used | block | last msg | nr read | "
                           "name\n"
                           "-------+------+-----------+-----------+-------+----------+---------+--"
                           "----------------------------------\n";
std::string const separator = "-------+------+-----------+-----------+-------+----------+---------"
                              "+------------------------------------\n";

std::string Row(char const* format, int handle, std::string const& name) {
    char line[300];
    std::snprintf(line, sizeof line, format, handle, name.c_str());
    return line;
}

TEST(QueueRegistry, ListingShowsEveryQueueInOrderOfOpening) {
    std::string const firstName = UniqueQueueName("list_a");
    std::string const secondName = UniqueQueueName("list_b");
    CQuorMsgQueue first;
    CQuorMsgQueue second;
    ASSERT_EQ(first.Open(firstName.c_str(), nonBlocking, 0600, 10, true), 0);
    ASSERT_EQ(second.Open(secondName.c_str(), O_RDWR | O_CREAT, 0600, 4, true), 0);
    for (unsigned long signal : {444ul, 445ul, 446ul}) {
        CQuorMsg msg(signal);
        ASSERT_EQ(first.Send(&msg, 0), 0);
    }
    CQuorMsg msg;
    ASSERT_EQ(first.Receive(&msg, 0), 0);
    ASSERT_EQ(first.Receive(&msg, 0), 0);

    std::string const firstRow =
        Row("%6d |   10 |         3 |         1 | NONBL |      445 |       2 | %s\n",
            first.GetHandle(), firstName);
    std::string const secondRow =
        Row("%6d |    4 |         0 |         0 | BLOCK |        0 |       0 | %s\n",
            second.GetHandle(), secondName);
    EXPECT_EQ(Listing(0), header + firstRow + secondRow + separator);
    EXPECT_EQ(Listing(second.GetHandle()), header + secondRow + separator);
    EXPECT_EQ(Listing(9999), header + separator);
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(first.GetHandle()), &first);
    EXPECT_EQ(CQuorMsgQueue::GetQueueNameByHandle(first.GetHandle()), firstName);
    EXPECT_EQ(CQuorMsgQueue::GetQueueNameByHandle(second.GetHandle() + 100), "Unknown");
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(second.GetHandle() + 100), nullptr);
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(-5), nullptr);
    int const firstHandle = first.GetHandle();
    first.Close();
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(firstHandle), nullptr);
    EXPECT_EQ(Listing(0), header + secondRow + separator);
}

TEST(QueueRegistry, HandleOf350OrMoreIsFoundThroughTheList) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < 400) {
        GTEST_SKIP() << "needs 400 descriptors, RLIMIT_NOFILE is " << limit.rlim_cur;
    }
    // Occupy every descriptor below 350 so that the queue gets a larger one.
    std::vector<int> fillers;
    int fd = open("/dev/null", O_RDONLY);
    for (; fd >= 0 && fd < CQuorMsgQueue::QuickAccessSize; fd = open("/dev/null", O_RDONLY)) {
        fillers.push_back(fd);
    }
    ASSERT_GE(fd, CQuorMsgQueue::QuickAccessSize);
    close(fd); // now the lowest free descriptor
    CQuorMsgQueue queue;
    std::string const name = UniqueQueueName("big_handle");
    std::string out;
    {
        TraceCapture capture(TRACE_MSG_QUEUE, TRACELEVEL_WARNING);
        ASSERT_EQ(queue.Open(name.c_str(), nonBlocking, 0600, 10, true), 0);
        out = capture.Text();
    }
    for (int filler : fillers) {
        close(filler);
    }
    int const handle = queue.GetHandle();
    ASSERT_GE(handle, CQuorMsgQueue::QuickAccessSize);
    EXPECT_THAT(out, HasSubstr("CQuorMsgQueue::AddQueueToGlobalMsgQueueList - Quick access array "
                               "too small - 350 instead of " +
                               std::to_string(handle) + "\n"));
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(handle), &queue);
    EXPECT_EQ(CQuorMsgQueue::GetQueueNameByHandle(handle), name);
    queue.Close();
    EXPECT_EQ(CQuorMsgQueue::GetQueueObjPtrByHandle(handle), nullptr);
}

TEST(QueueRegistry, ConcurrentOpensAndClosesKeepTheRegistryConsistent) {
    constexpr int threads = 4;
    constexpr int rounds = 50;
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&failures, t] {
            for (int i = 0; i < rounds; ++i) {
                CQuorMsgQueue queue;
                std::string const name =
                    "/quor_test_reg_" + std::to_string(getpid()) + "_" + std::to_string(t);
                if (queue.Open(name.c_str(), nonBlocking, 0600, 2, true) != 0 ||
                    CQuorMsgQueue::GetQueueObjPtrByHandle(queue.GetHandle()) != &queue ||
                    CQuorMsgQueue::GetQueueNameByHandle(queue.GetHandle()) != name) {
                    failures.fetch_add(1);
                }
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(Listing(0), header + separator) << "every queue left the registry";
}

} // namespace
