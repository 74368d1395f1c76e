// Latency from SendCmd on one thread to ProcessQuorMsg on a queue thread,
// against its floor: the same two threads with a plain POSIX queue, where the
// receiver does what a queue thread must for each message (wait with poll,
// receive, read the image, ask for the fill level) and the sender does the
// same work as SendCmd (write the image of a message, send it).
//
// Each iteration sends one message and waits until it has been processed,
// measured two ways:
//   ReceiverAsleep  the sender pauses first, so the receiver sleeps in its
//                   wait when the message comes: every message wakes it;
//   BackToBack      the next message follows as soon as the last one was
//                   processed, so the receiver may find it before it sleeps.
// Only the hand-off is timed (manual time, wall clock), not the pause. The
// counters give the receiving thread's CPU time and context switches per
// message.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <mqueue.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

#include "bench/RawBenchQueue.h"
#include "runtime/CQuorMsg.h"
#include "runtime/CThreadObjectWithQueue.h"

namespace {

enum Pace : int64_t { ReceiverAsleep, BackToBack };

// Long enough for a receiver to have gone back to sleep after a message.
constexpr std::chrono::microseconds asleepPause(200);

void WaitUntil(std::atomic<unsigned> const& counter, unsigned value) {
    for (unsigned spins = 0; counter.load(std::memory_order_acquire) != value; ++spins) {
        // Spin: the latency is the measurement. But on a loaded machine the
        // receiver may be waiting for this very core.
        if (spins >= 1000) {
            sched_yield();
        }
    }
}

// What the receiving thread spent: CPU time and context switches. On a
// loaded machine these say more than the latency, which includes the wait
// for a free core.
class ReceiverUsage {
public:
    ReceiverUsage(pthread_t thread, long threadId) : m_threadId(threadId) {
        if (pthread_getcpuclockid(thread, &m_clock) != 0) {
            m_clock = -1;
        }
    }
    double CpuNanoseconds() const {
        timespec now{};
        if (m_clock == -1 || clock_gettime(m_clock, &now) != 0) {
            return 0;
        }
        return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
    }
    // Voluntary and involuntary switches of the thread so far.
    double ContextSwitches() const {
        std::ifstream status("/proc/self/task/" + std::to_string(m_threadId) + "/status");
        double total = 0;
        std::string line;
        while (std::getline(status, line)) {
            if (line.find("ctxt_switches:") != std::string::npos) {
                total += std::stod(line.substr(line.find(':') + 1));
            }
        }
        return total;
    }

private:
    long m_threadId;
    clockid_t m_clock = -1;
};

// Runs the iterations: send() hands one message over, processed counts what
// the receiver has done. One message first, so that the receiver runs.
template <typename Send>
void MeasureHandOffs(benchmark::State& state, std::atomic<unsigned> const& processed,
                     std::atomic<long> const& receiverId, pthread_t receiver, Send send) {
    bool const pause = state.range(0) == ReceiverAsleep;
    unsigned sent = processed.load(std::memory_order_acquire);
    send();
    WaitUntil(processed, ++sent);
    ReceiverUsage const usage(receiver, receiverId.load(std::memory_order_acquire));
    double const cpuBefore = usage.CpuNanoseconds();
    double const switchesBefore = usage.ContextSwitches();
    for (auto _ : state) {
        if (pause) {
            std::this_thread::sleep_for(asleepPause);
        }
        auto const start = std::chrono::steady_clock::now();
        send();
        WaitUntil(processed, ++sent);
        std::chrono::duration<double> const elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
    }
    auto const messages = static_cast<double>(state.iterations());
    state.counters["rx_cpu_ns"] = (usage.CpuNanoseconds() - cpuBefore) / messages;
    state.counters["rx_switches"] = (usage.ContextSwitches() - switchesBefore) / messages;
}

class CountingThread : public CThreadObjectWithQueue {
public:
    ~CountingThread() override { StopThreadAndWait(); }
    void BeforeProcessingMsgs() override {
        threadId.store(static_cast<long>(gettid()), std::memory_order_release);
    }
    void ProcessQuorMsg(CQuorMsg* msg) override {
        msg->FreeSignal();
        processed.fetch_add(1, std::memory_order_release);
    }
    std::atomic<unsigned> processed{0};
    std::atomic<long> threadId{0};
};

void BM_SendCmdToProcessQuorMsg(benchmark::State& state) {
    CountingThread thread;
    if (thread.Init(BenchQueueName("cmd").c_str(), 10, 0600, true, true) != 0 ||
        thread.StartThread("BenchQueueThread", 0, 0) != 0) {
        state.SkipWithError("queue thread not started");
        return;
    }
    MeasureHandOffs(state, thread.processed, thread.threadId, thread.GetThread(), [&thread] {
        CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
        thread.SendCmd(&msg);
    });
}
BENCHMARK(BM_SendCmdToProcessQuorMsg)
    ->ArgName("pace")
    ->Arg(ReceiverAsleep)
    ->Arg(BackToBack)
    ->UseManualTime();

void BM_RawMqHandOffFloor(benchmark::State& state) {
    RawBenchQueue const raw("rawthread");
    mqd_t const queue = raw.handle();
    if (queue == -1) {
        state.SkipWithError("mq_open failed");
        return;
    }
    std::atomic<unsigned> processed{0};
    std::atomic<bool> stop{false};
    std::atomic<long> receiverId{0};
    std::thread receiver([&] {
        receiverId.store(static_cast<long>(gettid()), std::memory_order_release);
        CQuorMsg msg;
        unsigned char image[CQuorMsg::ImageSize];
        pollfd waitFor{queue, POLLIN, 0};
        while (!stop.load(std::memory_order_relaxed)) {
            // The timeout only lets the thread see the stop flag when idle.
            if (poll(&waitFor, 1, 10) == 1 &&
                mq_receive(queue, reinterpret_cast<char*>(image), sizeof image, nullptr) > 0) {
                msg.ReadImage(image);
                mq_attr attr;
                benchmark::DoNotOptimize(mq_getattr(queue, &attr));
                processed.fetch_add(1, std::memory_order_release);
            }
        }
    });
    MeasureHandOffs(state, processed, receiverId, receiver.native_handle(), [queue] {
        CQuorMsg msg(SIG_ID_MPLAYER_PLAY_REQ);
        unsigned char image[CQuorMsg::ImageSize];
        msg.WriteImage(image);
        mq_send(queue, reinterpret_cast<char const*>(image), sizeof image, 0);
    });
    stop.store(true);
    receiver.join();
}
BENCHMARK(BM_RawMqHandOffFloor)
    ->ArgName("pace")
    ->Arg(ReceiverAsleep)
    ->Arg(BackToBack)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
