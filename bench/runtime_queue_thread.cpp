// Latency from SendCmd on one thread to ProcessQuorMsg on a queue thread:
// each iteration sends one message and waits until the queue thread has
// processed it. The raw variant does the same hand-off with a plain thread
// polling a POSIX queue.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <mqueue.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "bench/RawBenchQueue.h"
#include "runtime/CQuorMsg.h"
#include "runtime/CThreadObjectWithQueue.h"

namespace {

class CountingThread : public CThreadObjectWithQueue {
public:
    ~CountingThread() override { StopThreadAndWait(); }
    void ProcessQuorMsg(CQuorMsg* msg) override {
        msg->FreeSignal();
        processed.fetch_add(1, std::memory_order_release);
    }
    std::atomic<unsigned> processed{0};
};

void WaitUntil(std::atomic<unsigned> const& counter, unsigned value) {
    while (counter.load(std::memory_order_acquire) != value) {
        // spin: the latency is the measurement
    }
}

void BM_SendCmdToProcessQuorMsg(benchmark::State& state) {
    CountingThread thread;
    if (thread.Init(BenchQueueName("cmd").c_str(), 10, 0600, true, true) != 0 ||
        thread.StartThread("BenchQueueThread", 0, 0) != 0) {
        state.SkipWithError("queue thread not started");
        return;
    }
    unsigned sent = 0;
    for (auto _ : state) {
        CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
        thread.SendCmd(&msg);
        WaitUntil(thread.processed, ++sent);
    }
}
BENCHMARK(BM_SendCmdToProcessQuorMsg)->UseRealTime();

void BM_RawMqHandOffToThread(benchmark::State& state) {
    RawBenchQueue const raw("rawthread");
    mqd_t const queue = raw.handle();
    if (queue == -1) {
        state.SkipWithError("mq_open failed");
        return;
    }
    std::atomic<unsigned> processed{0};
    std::atomic<bool> stop{false};
    std::thread receiver([&] {
        unsigned char image[CQuorMsg::ImageSize];
        pollfd waitFor{queue, POLLIN, 0};
        while (!stop.load(std::memory_order_relaxed)) {
            if (poll(&waitFor, 1, 10) == 1 &&
                mq_receive(queue, reinterpret_cast<char*>(image), sizeof image, nullptr) > 0) {
                processed.fetch_add(1, std::memory_order_release);
            }
        }
    });
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    unsigned char image[CQuorMsg::ImageSize];
    msg.WriteImage(image);
    unsigned sent = 0;
    for (auto _ : state) {
        mq_send(queue, reinterpret_cast<char const*>(image), sizeof image, 0);
        WaitUntil(processed, ++sent);
    }
    stop.store(true);
    receiver.join();
}
BENCHMARK(BM_RawMqHandOffToThread)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
