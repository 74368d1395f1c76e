// One message's round trip through a queue: CQuorMsgQueue::Send and Receive
// against raw mq_send and mq_receive of the same image, in the same run.
// Tracing is at its default levels, so every trace line of the path is
// filtered out.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <mqueue.h>
#include <unistd.h>

#include <string>

#include "bench/RawBenchQueue.h"
#include "runtime/CQuorMsg.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

void BM_RawMqSendReceive(benchmark::State& state) {
    RawBenchQueue const raw("raw");
    mqd_t const queue = raw.handle();
    if (queue == -1) {
        state.SkipWithError("mq_open failed");
        return;
    }
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    unsigned char image[CQuorMsg::ImageSize];
    msg.WriteImage(image);
    for (auto _ : state) {
        mq_send(queue, reinterpret_cast<char const*>(image), sizeof image, 0);
        mq_receive(queue, reinterpret_cast<char*>(image), sizeof image, nullptr);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_RawMqSendReceive);

// The system calls that Receive adds for its statistics: the highest fill
// needs the queue's current count (mq_getattr) after every receive.
void BM_RawMqSendReceiveGetattr(benchmark::State& state) {
    RawBenchQueue const raw("rawattr");
    mqd_t const queue = raw.handle();
    mq_attr attr{};
    if (queue == -1) {
        state.SkipWithError("mq_open failed");
        return;
    }
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    unsigned char image[CQuorMsg::ImageSize];
    msg.WriteImage(image);
    for (auto _ : state) {
        mq_send(queue, reinterpret_cast<char const*>(image), sizeof image, 0);
        mq_receive(queue, reinterpret_cast<char*>(image), sizeof image, nullptr);
        mq_getattr(queue, &attr);
        benchmark::DoNotOptimize(image);
        benchmark::DoNotOptimize(attr);
    }
}
BENCHMARK(BM_RawMqSendReceiveGetattr);

void BM_QueueSendByHandleReceive(benchmark::State& state) {
    CQuorMsgQueue queue;
    if (queue.Open(BenchQueueName("handle").c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 10,
                   true) != 0) {
        state.SkipWithError("Open failed");
        return;
    }
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    int const handle = queue.GetHandle();
    for (auto _ : state) {
        CQuorMsgQueue::Send(handle, &msg, 0);
        queue.Receive(&msg, 0);
        benchmark::DoNotOptimize(msg.m_signalName);
    }
}
BENCHMARK(BM_QueueSendByHandleReceive);

void BM_QueueSendByObjectReceive(benchmark::State& state) {
    CQuorMsgQueue queue;
    if (queue.Open(BenchQueueName("object").c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 10,
                   true) != 0) {
        state.SkipWithError("Open failed");
        return;
    }
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    for (auto _ : state) {
        queue.Send(&msg, 0);
        queue.Receive(&msg, 0);
        benchmark::DoNotOptimize(msg.m_signalName);
    }
}
BENCHMARK(BM_QueueSendByObjectReceive);

} // namespace

BENCHMARK_MAIN();
