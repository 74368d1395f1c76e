// Publishing to one queue observer against sending to that queue directly;
// each message is received again so that the queue never fills.
#include <benchmark/benchmark.h>
#include <fcntl.h>

#include "bench/RawBenchQueue.h"
#include "runtime/CObservableCallbackQueue.h"
#include "runtime/CQuorMsg.h"
#include "runtime/CQuorMsgQueue.h"

namespace {

void BM_DirectSend(benchmark::State& state) {
    CQuorMsgQueue queue;
    if (queue.Open(BenchQueueName("direct").c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 10,
                   true) != 0) {
        state.SkipWithError("Open failed");
        return;
    }
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    for (auto _ : state) {
        CQuorMsgQueue::Send(queue.GetHandle(), &msg, 0);
        queue.Receive(&msg, 0);
    }
}
BENCHMARK(BM_DirectSend);

void BM_NotifyOneQueueObserver(benchmark::State& state) {
    CQuorMsgQueue queue;
    if (queue.Open(BenchQueueName("observer").c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 10,
                   true) != 0) {
        state.SkipWithError("Open failed");
        return;
    }
    CObservableCallbackQueue registry;
    registry.RegisterCallbackQueue(queue.GetHandle(), 1, 2, 0);
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    for (auto _ : state) {
        registry.NotifyObserversWithCallbackQueue(&msg);
        queue.Receive(&msg, 0);
    }
}
BENCHMARK(BM_NotifyOneQueueObserver);

} // namespace

BENCHMARK_MAIN();
