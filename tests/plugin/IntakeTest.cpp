// The plugin's two threads: the service's delivery thread queues copies and
// wakes the main loop, the main loop drains the queue.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <numeric>
#include <thread>

#include "runtime/RuntimeTestSupport.h"
#include "support/PluginTestSupport.h"
#include "support/TimeoutRecorder.h"

namespace {

using MediaPlayerMessages::Make;

std::string const kDrain = "html5-video-plugin: void HTML5VideoPlugin::ProcessQuorMsg(): ";
std::string const kUnknown = kDrain + kDrain + "Unknown msg received!: ";

// A message no handler takes, numbered through its response info.
MediaPlayerMessages::MessagePtr Numbered(int number) {
    auto msg = Make(SIG_ID_MPLAYER_CLOSE_REQ);
    msg->m_responseInfo = number;
    return msg;
}

// 0, 1, ..., n - 1.
std::vector<int> FirstNumbers(int n) {
    std::vector<int> numbers(static_cast<std::size_t>(n));
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
}

// The response infos of the unknown-message lines, in log order.
std::vector<int> HandledNumbers() {
    std::vector<int> numbers;
    std::string const key = "SIG_ID_MPLAYER_CLOSE_REQ, Resp-Info1 = ";
    for (auto const& line : SyslogCapture::Matching(kUnknown)) {
        auto at = line.text.find(key);
        numbers.push_back(std::stoi(line.text.substr(at + key.size())));
    }
    return numbers;
}

// Lines of the drain's entry ("this=").
int Drains() {
    return SyslogCapture::Count(kDrain + kDrain + "this=");
}

using Intake = PluginTest;

TEST_F(Intake, ConstructionRegistersWithTheServiceAndLogsTheObject) {
    auto names = MediaPlayerInterface::GetInstance()->RegisteredNames();
    ASSERT_EQ(1u, names.size());
    EXPECT_EQ("html5-video-plugin", names[0]);
    std::ostringstream address;
    address << static_cast<void*>(plugin.get());
    std::string const ctor = "html5-video-plugin: HTML5VideoPlugin::HTML5VideoPlugin(VideoPlugin::"
                             "BrowserInterface*): ";
    auto lines = SyslogCapture::Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(6, lines[0].priority);
    EXPECT_EQ(ctor + ctor + "this=" + address.str(), lines[0].text);
    // The browser's interface is the primary base: the browser's pointer is the object's.
    EXPECT_EQ(static_cast<void*>(static_cast<VideoPlugin::PluginInterface*>(plugin.get())),
              static_cast<void*>(plugin.get()));

    DestroyPlugin();
    EXPECT_TRUE(MediaPlayerInterface::GetInstance()->RegisteredNames().empty());
    std::string const dtor = "html5-video-plugin: virtual HTML5VideoPlugin::~HTML5VideoPlugin(): ";
    EXPECT_EQ(1, SyslogCapture::Count(dtor + dtor + "this=" + address.str()));
}

TEST_F(Intake, ABurstIsHandledInArrivalOrderByOneDrain) {
    TimeoutRecorder::Clear();
    for (int i = 0; i < 50; ++i) {
        service.Post(Numbered(i));
    }
    service.WaitUntilDelivered();
    EXPECT_EQ(0, Drains()); // nothing runs before the main loop does
    ASSERT_EQ(50u, HTML5VideoPluginInspector(*plugin).queued());

    // Each delivery replaced the pending wake-up: one source is left.
    auto calls = TimeoutRecorder::Calls();
    ASSERT_EQ(50u, calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(0u, calls[i].interval);
        EXPECT_EQ(plugin.get(), calls[i].data);
        EXPECT_EQ(i + 1 == calls.size(), TimeoutRecorder::IsLive(calls[i].id)) << i;
    }
    EXPECT_EQ(49,
              SyslogCapture::Count("ProcessQuorMsg(CQuorMsg*): removing m_sourceTagMessageQueue"));

    RunPendingEvents();
    EXPECT_EQ(1, Drains());
    EXPECT_EQ(FirstNumbers(50), HandledNumbers());
    EXPECT_EQ(0u, HTML5VideoPluginInspector(*plugin).queued());
}

TEST_F(Intake, DeliveriesRacingRunningDrainsAreEachHandledOnce) {
    constexpr int kMessages = 400;
    std::atomic<bool> done{false};
    std::thread poster([&] {
        for (int i = 0; i < kMessages; ++i) {
            service.Post(Numbered(i));
            if (i % 16 == 0) {
                std::this_thread::yield();
            }
        }
        service.WaitUntilDelivered();
        done.store(true, std::memory_order_release);
    });
    // The main loop drains while the service keeps delivering.
    bool finished = RunUntil([&] {
        return done.load(std::memory_order_acquire) &&
               HTML5VideoPluginInspector(*plugin).queued() == 0 && !g_main_context_pending(nullptr);
    });
    poster.join();
    RunPendingEvents();
    ASSERT_TRUE(finished);
    EXPECT_EQ(FirstNumbers(kMessages), HandledNumbers());
    EXPECT_GE(Drains(), 1);
}

TEST_F(Intake, TheCallersMessageLosesItsPayloadAndTheCopyKeepsItsOwn) {
    CQuorMsg msg(SIG_ID_MPLAYER_CLOSE_REQ);
    msg.m_responseInfo = 77;
    MediaPlayerMessages::SetText(msg, "payload bytes");
    msg.m_objPtr = new runtime_test::CountedObject;
    void* original = msg.m_signalPtr;
    // The service calls the PluginBase side on a thread of its own.
    std::thread delivery([&] { static_cast<PluginBase*>(plugin.get())->ProcessQuorMsg(&msg); });
    delivery.join();
    EXPECT_EQ(nullptr, msg.m_signalPtr);
    EXPECT_EQ(nullptr, msg.m_objPtr);
    EXPECT_EQ(14, msg.m_signalSize); // FreeSignal keeps the size
    (void)original;                  // released: ASan reports any later use

    CQuorMsg* queued = HTML5VideoPluginInspector(*plugin).front();
    ASSERT_NE(nullptr, queued);
    ASSERT_NE(nullptr, queued->m_signalPtr);
    EXPECT_EQ(14, queued->m_signalSize);
    EXPECT_EQ(0, std::memcmp("payload bytes", queued->m_signalPtr, 14));
    EXPECT_EQ(77, queued->m_responseInfo);

    auto lines = SyslogCapture::Matching("void HTML5VideoPlugin::ProcessQuorMsg(CQuorMsg*)");
    ASSERT_EQ(2u, lines.size());
    std::string const intake = "html5-video-plugin: virtual void HTML5VideoPlugin::ProcessQuorMsg("
                               "CQuorMsg*): ";
    EXPECT_EQ(intake + intake, lines[0].text);
    EXPECT_EQ(intake + intake + "end", lines[1].text);
    EXPECT_EQ(1, runtime_test::CountedObject::live.load()); // the copy's clone
    RunPendingEvents();
    EXPECT_EQ(0, runtime_test::CountedObject::live.load()) << "the drain releases the copy";
}

TEST_F(Intake, AnIdWithoutHandlerGivesExactlyOneWarningLine) {
    auto msg = Make(SIG_ID_MPLAYER_CLOSE_REQ);
    msg->m_responseInfo = -42;
    Deliver(msg);
    auto warnings = std::vector<SyslogLine>();
    for (auto const& line : SyslogCapture::Lines()) {
        if (line.priority != 6) {
            warnings.push_back(line);
        }
    }
    ASSERT_EQ(1u, warnings.size()) << SyslogCapture::Dump();
    EXPECT_EQ(4, warnings[0].priority);
    EXPECT_EQ(kUnknown + "SIG_ID_MPLAYER_CLOSE_REQ, Resp-Info1 = -42", warnings[0].text);
    // The drain logs the id and its name before it dispatches.
    EXPECT_EQ(1, SyslogCapture::Count(kDrain + kDrain + "454/SIG_ID_MPLAYER_CLOSE_REQ"));
    EXPECT_EQ(1, SyslogCapture::Count(kDrain + kDrain + "end"));
    EXPECT_TRUE(browser.calls.empty());
}

TEST_F(Intake, DestroyingWithQueuedMessagesReleasesThemWithoutClosing) {
    for (int i = 0; i < 5; ++i) {
        auto msg = Numbered(i);
        MediaPlayerMessages::SetText(*msg, "queued payload");
        service.Post(msg);
    }
    service.WaitUntilDelivered();
    ASSERT_EQ(5u, HTML5VideoPluginInspector(*plugin).queued());
    auto calls = TimeoutRecorder::Calls();
    ASSERT_FALSE(calls.empty());
    guint wakeUp = calls.back().id;
    ASSERT_TRUE(TimeoutRecorder::IsLive(wakeUp));

    DestroyPlugin(); // LeakSanitizer reports queued copies that were not released
    EXPECT_EQ(0, service.Count(MediaPlayerRequestKind::Close));
    EXPECT_FALSE(TimeoutRecorder::IsLive(wakeUp));
    EXPECT_EQ(1, SyslogCapture::Count("~HTML5VideoPlugin(): removing m_sourceTagMessageQueue"));
    // Nothing fires into the destroyed plugin (ASan reports a use after free).
    RunPendingEvents();
    EXPECT_TRUE(HandledNumbers().empty());
    // And no delivery reaches it any more.
    service.Post(Numbered(9));
    service.WaitUntilDelivered();
    EXPECT_EQ(5, service.DeliveredCount());
}

TEST_F(Intake, DestroyingRemovesAPendingNextSecondTimer) {
    HTML5VideoPluginInspector(*plugin).startNextSecondTimer(10);
    guint tag = HTML5VideoPluginInspector(*plugin).nextSecondTag();
    ASSERT_TRUE(TimeoutRecorder::IsLive(tag));
    DestroyPlugin();
    EXPECT_FALSE(TimeoutRecorder::IsLive(tag));
    EXPECT_EQ(1, SyslogCapture::Count("~HTML5VideoPlugin(): removing m_sourceTagNextSecond"));
    // Past the timer's interval nothing reaches the destroyed plugin.
    RunUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(0, browser.Count("timeChanged"));
}

} // namespace
