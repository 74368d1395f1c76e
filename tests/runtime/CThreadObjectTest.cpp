#include <sched.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "RuntimeTestSupport.h"
#include "runtime/CThreadObject.h"
#include "runtime/CThreadObjectBlockingWait.h"

namespace {

using runtime_test::HasSubstr;
using runtime_test::WaitFor;

// Runs until stopped, or returns at once when told to end by itself.
class LoopThread : public CThreadObject {
public:
    explicit LoopThread(bool endAtOnce = false) : CThreadObject(7), m_endAtOnce(endAtOnce) {}
    ~LoopThread() override { StopThreadAndWait(); }

    std::atomic<int> runs{0};
    std::size_t stackSize = 0;
    char kernelName[16] = {};

protected:
    void ThreadWorkFunction() override {
        pthread_attr_t attr;
        pthread_getattr_np(pthread_self(), &attr);
        pthread_attr_getstacksize(&attr, &stackSize);
        pthread_attr_destroy(&attr);
        prctl(PR_GET_NAME, kernelName, 0, 0, 0);
        runs.fetch_add(1); // published last: readers wait for runs before reading the above
        while (!m_endAtOnce && !StopRequested()) {
            usleep(1000);
        }
    }

private:
    bool m_endAtOnce;
};

std::string ThreadListing(long id) {
    return runtime_test::ScreenOf([id] { CThreadObject::ListGlobalThreadObjectList(id); });
}

std::string const listHeader =
    "\nList of thread objects\n"
    "\nTypes: 1 = while-loop, 2 = msg-loop, 3 = msg-loop with states\n\n"
    "Thread-Addr | Thread-Id | Type | Msgs    | Name\n"
    "------------+-----------+------+---------+-------------------------------------------\n";
std::string const listSeparator =
    "------------+-----------+------+---------+-------------------------------------------\n";

TEST(ThreadObject, StartRunsTheWorkFunctionOnceAndStopsOnRequest) {
    LoopThread thread;
    EXPECT_EQ(thread.GetThreadType(), 1);
    ASSERT_EQ(thread.StartThread("LoopThread-with-a-long-name", 0, 0), 0);
    EXPECT_TRUE(thread.IsRunning());
    ASSERT_TRUE(WaitFor([&] { return thread.runs.load() == 1; }));
    EXPECT_STREQ(thread.kernelName, "LoopThread-with") << "the kernel keeps 15 characters";
    EXPECT_EQ(thread.GetProcessId(), getpid());
    EXPECT_NE(thread.GetThreadId(), 0);
    {
        TraceCapture capture(TRACE_THREAD_OBJECT, TRACELEVEL_ERROR);
        EXPECT_EQ(thread.StartThread("Twice", 0, 0), 0);
        EXPECT_THAT(capture.Text(), HasSubstr("CThreadObject::Starting thread - Thread is already "
                                              "running - name=Twice\n"));
    }
    usleep(20000);
    EXPECT_EQ(thread.runs.load(), 1) << "no second thread";
    EXPECT_EQ(thread.GetName(), "LoopThread-with-a-long-name");
    thread.StopThread(); // only asks
    EXPECT_TRUE(thread.StopRequested());
    ASSERT_TRUE(WaitFor([&] { return !thread.IsRunning(); }));
    EXPECT_EQ(thread.GetThread(), 0u);
}

long VmSizeKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmSize:") {
            status >> value;
            return value;
        }
    }
    return 0;
}

TEST(ThreadObject, RestartsAfterSelfEndingThreadsLeaveNoThreadBehind) {
    LoopThread thread(true);
    long const before = VmSizeKb();
    constexpr int cycles = 150;
    for (int i = 0; i < cycles; ++i) {
        ASSERT_EQ(thread.StartThread("Cycle", 0, 0), 0);
        ASSERT_TRUE(WaitFor([&] { return !thread.IsRunning(); }));
        ASSERT_EQ(thread.GetThread(), 0u);
    }
    thread.StopThreadAndWait();
    EXPECT_EQ(thread.runs.load(), cycles);
    // An unjoined thread keeps its whole stack mapped (8 MiB by default).
    EXPECT_LT(VmSizeKb() - before, cycles * 8192L / 4) << "finished threads were not joined";
}

// Priority 1, the lowest a real-time thread can have, still counts. A refused
// stack size is traced and the thread starts all the same.
TEST(ThreadObject, StackSizeAndPriorityAreAppliedOrTracedWhenRefused) {
    LoopThread thread, tiny;
    TraceCapture capture(TRACE_THREAD_OBJECT, TRACELEVEL_DEBUG);
    ASSERT_EQ(thread.StartThread("Prio", 256 * 1024, 1), 0);
    ASSERT_EQ(tiny.StartThread("TinyStack", 1, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return thread.runs.load() == 1 && tiny.runs.load() == 1; }));
    std::string const out = capture.Text();
    EXPECT_THAT(out, HasSubstr("CThreadObject::Set stacksize for thread successful\n"));
    EXPECT_GE(thread.stackSize, 256u * 1024u);
    EXPECT_THAT(out, HasSubstr("CThreadObject::Set stacksize for thread FAILED - rc=22 errno=22 "
                               "name=TinyStack\n"));
    EXPECT_THAT(out, HasSubstr("CThreadObject::Set schedule policy SCHED_FIFO for thread "
                               "successful\n"));
    if (out.find("CThreadObject:: Changed Thread priority = 1, ret = 0  id=") !=
        std::string::npos) {
        sched_param param{};
        int policy = 0;
        ASSERT_EQ(pthread_getschedparam(thread.GetThread(), &policy, &param), 0);
        EXPECT_EQ(policy, SCHED_FIFO);
        EXPECT_EQ(param.sched_priority, 1);
    } else {
        EXPECT_THAT(out, HasSubstr("CThreadObject:: Changed Thread priority = 1, ret = 1  id="));
    }
    EXPECT_TRUE(thread.IsRunning()) << "the thread runs in either case";
}

TEST(ThreadRegistry, ListingShowsRunningThreadsAndFiltersById) {
    EXPECT_EQ(ThreadListing(0), listHeader + listSeparator);
    LoopThread first;
    LoopThread second;
    ASSERT_EQ(first.StartThread("First", 0, 0), 0);
    ASSERT_EQ(second.StartThread("Second", 0, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return first.runs.load() == 1 && second.runs.load() == 1; }));

    auto row = [](LoopThread const& thread) {
        char line[200];
        std::snprintf(line, sizeof line, "0x%8lx | %9ld |    1 |       0 | %s\n",
                      static_cast<unsigned long>(thread.GetThread()), thread.GetThreadId(),
                      thread.GetName().c_str());
        return std::string(line);
    };
    EXPECT_EQ(ThreadListing(0), listHeader + row(first) + row(second) + listSeparator);
    EXPECT_EQ(ThreadListing(second.GetThreadId()), listHeader + row(second) + listSeparator);
    EXPECT_EQ(ThreadListing(static_cast<long>(first.GetThread())),
              listHeader + row(first) + listSeparator);
    EXPECT_EQ(ThreadListing(1), listHeader + listSeparator) << "an id that matches nothing";

    EXPECT_STREQ(CThreadObject::GetThreadName(second.GetThread()), "Second");
    EXPECT_STREQ(CThreadObject::GetThreadName(12345), "(unknown)");
    second.StopThreadAndWait();
    EXPECT_EQ(ThreadListing(0), listHeader + row(first) + listSeparator);
}

// Blocks in read() on a pipe that nobody writes to.
class ReaderThread : public CThreadObjectBlockingWait {
public:
    ReaderThread() { EXPECT_EQ(pipe(m_pipe), 0); }
    ~ReaderThread() override {
        StopThreadAndWait();
        close(m_pipe[0]);
        close(m_pipe[1]);
    }
    std::atomic<bool> reading{false};
    std::atomic<bool> readReturned{false};

protected:
    void ThreadWorkFunction() override {
        char byte = 0;
        reading.store(true);
        ssize_t const n = read(m_pipe[0], &byte, 1);
        (void)n;
        readReturned.store(true);
    }

private:
    int m_pipe[2] = {-1, -1};
};

TEST(BlockingWaitThread, ThreadStuckInAReadIsCancelled) {
    ReaderThread reader;
    EXPECT_EQ(reader.GetThreadType(), 5);
    reader.StopThread(); // nothing running: nothing happens
    EXPECT_FALSE(reader.StopRequested());
    for (bool wait : {false, true}) {
        ASSERT_EQ(reader.StartThread("Reader", 0, 0), 0);
        ASSERT_TRUE(WaitFor([&] { return reader.reading.load(); }));
        usleep(20000); // well inside read()
        if (wait) {
            reader.StopThreadAndWait();
        } else {
            reader.StopThread();
            EXPECT_TRUE(reader.StopRequested());
        }
        EXPECT_TRUE(WaitFor([&] { return !reader.IsRunning(); }));
        EXPECT_FALSE(reader.readReturned.load()) << "cancelled, not woken";
        reader.reading.store(false);
    }
    EXPECT_EQ(ThreadListing(0), listHeader + listSeparator) << "the cancelled thread left the list";
}

TEST(ThreadRegistry, StopAllThreadsStopsEveryKindOfThread) {
    LoopThread loop;
    ReaderThread reader;
    ASSERT_EQ(loop.StartThread("Loop", 0, 0), 0);
    ASSERT_EQ(reader.StartThread("Reader", 0, 0), 0);
    ASSERT_TRUE(WaitFor([&] { return reader.reading.load() && loop.runs.load() == 1; }));
    TraceCapture capture(TRACE_THREAD_OBJECT, TRACELEVEL_INFO3);
    CThreadObject::StopAllThreads();
    std::string const out = capture.Text();
    EXPECT_FALSE(loop.IsRunning());
    EXPECT_FALSE(reader.IsRunning());
    EXPECT_THAT(out,
                HasSubstr("CThreadObject::StopAllThreads() - ++++ Stopping thread Loop ++++\n"));
    EXPECT_THAT(out, HasSubstr("StopAllThreads() - ++++ Stopping thread Reader ++++\n"));
    CThreadObject::Start();
    EXPECT_EQ(ThreadListing(0), listHeader + listSeparator);
}

} // namespace
