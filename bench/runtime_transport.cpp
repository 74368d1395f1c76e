// Messages per second through the cross-CPU transport, source -> destination
// -> observer queue, with 64-byte and 4 KiB payloads, against the raw work it
// cannot avoid: the same three queue hops of the message image with
// mq_send/mq_receive, and the payload's two copies (into and out of shared
// memory). The transport keeps 32 messages in flight on its three threads;
// the CPU column is the time of all threads of the process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <mqueue.h>

#include <cstring>
#include <vector>

#include "bench/RawBenchQueue.h"
#include "platform/ChipUtilCPUComm.h"
#include "runtime/CQuorRpcMsgDestPosix.h"
#include "runtime/CQuorRpcMsgSrcPosix.h"

namespace {

constexpr int inFlight = 32;

// The shared memory of this benchmark process, removed when it goes.
struct BenchSegment {
    BenchSegment() : name(BenchQueueName("segment")) {
        ok = CPUCommStandInSetSegment(name.c_str(), 4ul << 20) == 0;
    }
    ~BenchSegment() { CPUCommStandInRemoveSegment(); }
    std::string name;
    bool ok = false;
};

void BM_RawThreeHopsAndTwoCopies(benchmark::State& state) {
    RawBenchQueue const hops[3] = {RawBenchQueue("hop1"), RawBenchQueue("hop2"),
                                   RawBenchQueue("hop3")};
    auto const size = static_cast<std::size_t>(state.range(0));
    std::vector<unsigned char> payload(size, 0x5A), shared(size), local(size);
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    unsigned char image[CQuorMsg::ImageSize];
    msg.WriteImage(image);
    for (auto _ : state) {
        for (auto const& hop : hops) {
            mq_send(hop.handle(), reinterpret_cast<char const*>(image), sizeof image, 0);
            mq_receive(hop.handle(), reinterpret_cast<char*>(image), sizeof image, nullptr);
            if (&hop == &hops[0]) {
                std::memcpy(shared.data(), payload.data(), size);
            } else if (&hop == &hops[1]) {
                std::memcpy(local.data(), shared.data(), size);
            }
        }
        benchmark::DoNotOptimize(local.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RawThreeHopsAndTwoCopies)->Arg(64)->Arg(4096)->MeasureProcessCPUTime()->UseRealTime();

void SendOne(CQuorRpcMsgSrcPosix& source, std::size_t size) {
    CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
    msg.m_signalPtr = ::operator new(size);
    std::memset(msg.m_signalPtr, 0x5A, size);
    msg.m_signalSize = static_cast<int>(size);
    source.SendCmd(&msg);
}

void BM_SourceDestinationObserverQueue(benchmark::State& state) {
    BenchSegment const segment;
    CQuorMsgQueue observer;
    std::string const function = BenchQueueName("rpc").substr(1);
    if (!segment.ok ||
        observer.Open(BenchQueueName("observer").c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600,
                      2 * inFlight, true) != 0) {
        state.SkipWithError("shared memory or observer queue not available");
        return;
    }
    auto const size = static_cast<std::size_t>(state.range(0));
    {
        CQuorRpcMsgDestPosix destination;
        CQuorRpcMsgSrcPosix source;
        if (destination.Init(function.c_str(), nullptr, 0, observer.GetHandle(), 1) != 0 ||
            source.Init(BenchQueueName("source").c_str(), 2 * inFlight, CPU_ID_MAIN, function) !=
                0 ||
            source.StartThread("RpcBenchSource", 0, 0) != 0) {
            state.SkipWithError("transport not available");
        } else {
            CQuorMsg received;
            for (int i = 0; i < inFlight; ++i) {
                SendOne(source, size);
            }
            for (auto _ : state) {
                observer.ReceiveFromNonblockingQueue(&received, 0);
                received.FreeSignal();
                SendOne(source, size);
            }
            for (int i = 0; i < inFlight; ++i) {
                observer.ReceiveFromNonblockingQueue(&received, 0);
                received.FreeSignal();
            }
            state.SetItemsProcessed(state.iterations());
        }
    }
    mq_unlink(("/" + function).c_str());
}
BENCHMARK(BM_SourceDestinationObserverQueue)
    ->Arg(64)
    ->Arg(4096)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
