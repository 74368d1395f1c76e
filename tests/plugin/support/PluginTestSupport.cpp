#include "PluginTestSupport.h"

#include <thread>

namespace {
// The browser creates its default main context before any other thread
// exists; so do the tests. Threads started later then see it created (a
// happens-before that ThreadSanitizer can see, unlike glib's own locks).
[[maybe_unused]] GMainContext* const defaultContext = g_main_context_default();
} // namespace

void RunPendingEvents() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

bool RunUntil(std::function<bool()> const& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        if (!g_main_context_iteration(nullptr, FALSE)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

void PluginTest::SetUp() {
    MediaPlayerInterface::GetInstance()->SetService(&service);
    SyslogCapture::Clear();
    plugin.reset(new HTML5VideoPlugin(&browser));
}

void PluginTest::TearDown() {
    DestroyPlugin();
    RunPendingEvents();
    service.WaitUntilDelivered();
    MediaPlayerInterface::GetInstance()->SetService(nullptr);
}

void PluginTest::DestroyPlugin() {
    plugin.reset();
}

void PluginTest::Deliver(MediaPlayerMessages::MessagePtr msg) {
    service.Post(std::move(msg));
    service.WaitUntilDelivered();
    RunPendingEvents();
}

void PluginTest::Deliver(unsigned long signal, long userData) {
    Deliver(MediaPlayerMessages::Make(signal, userData));
}

void PluginTest::Position(int64_t ms) {
    auto msg = MediaPlayerMessages::Make(SIG_ID_MPLAYER_GET_CUR_POS_RESP);
    MediaPlayerMessages::SetPosition(*msg, ms);
    Deliver(msg);
}
