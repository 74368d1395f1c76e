// Deleting a plugin must leave nothing that reaches it later: not the call
// under way when the browser deletes it from inside a notification (a page
// script removes the element in an event handler), and not a wake-up that a
// delivery racing the drain scheduled. AddressSanitizer reports any use.
#include <thread>

#include "support/PluginTestSupport.h"
#include "support/TimeoutRecorder.h"

namespace {

using namespace MediaPlayerMessages;

// A message of the service, with the payload its handler needs.
MessagePtr Message(unsigned long signal, long userData = 0) {
    auto msg = Make(signal, userData);
    if (signal == SIG_ID_MPLAYER_NUM_STREAMS_IND) {
        SetStreamCounts(*msg, 1, 1, 0);
    } else if (signal == SIG_ID_MPLAYER_GET_CUR_POS_RESP) {
        SetPosition(*msg, 1500);
    } else if (signal == SIG_ID_MPLAYER_NEW_BASE_TIME_IND) {
        SetNewBaseTime(*msg, 1, 2000, 30);
    }
    return msg;
}

TEST(PluginDeletion, InsideAnyNotificationTheDeletedPluginIsNeverTouchedAgain) {
    struct Row {
        char const* notification;
        int nth; // the call that deletes
        MessagePtr message;
    } const rows[] = {
        {"networkStateChanged", 1, Message(SIG_ID_MPLAYER_OPEN_RESP)},
        {"readyStateChanged", 1, Message(SIG_ID_MPLAYER_NUM_STREAMS_IND)},
        {"playbackStateChanged", 1, Message(SIG_ID_MPLAYER_STATE_CHANGED_IND, 3)},
        {"timeChanged", 1, Message(SIG_ID_MPLAYER_GET_CUR_POS_RESP)}, // a timer would follow
        {"timeChanged", 2, Message(SIG_ID_MPLAYER_GET_CUR_POS_RESP)}, // the next-second tick
        {"durationChanged", 1,
         Message(SIG_ID_MPLAYER_NEW_BASE_TIME_IND)}, // timeChanged would follow
    };
    ScriptedMediaPlayerService service;
    MediaPlayerInterface::GetInstance()->SetService(&service);
    for (Row const& row : rows) {
        RecordingBrowser browser;
        HTML5VideoPlugin* plugin = new HTML5VideoPlugin(&browser);
        browser.onCall = [&](std::string const& name) {
            if (name == row.notification && browser.Count(name) == row.nth) {
                delete std::exchange(plugin, nullptr);
            }
        };
        service.Post(row.message);
        service.Post(Make(SIG_ID_MPLAYER_CLOSE_REQ)); // still queued when the plugin goes
        service.WaitUntilDelivered();
        EXPECT_TRUE(RunUntil([&] { return plugin == nullptr; })) << row.notification;
        RunUntil([] { return false; }, std::chrono::milliseconds(20));
        EXPECT_EQ(row.notification, browser.calls.back()); // told nothing after
    }
    MediaPlayerInterface::GetInstance()->SetService(nullptr);
}

TEST(PluginDeletion, WhileDeliveriesRaceDrainsNoWakeUpOutlivesThePlugin) {
    ScriptedMediaPlayerService service;
    MediaPlayerInterface::GetInstance()->SetService(&service);
    // Deliveries land between glib's choice of a wake-up and its callback.
    TimeoutRecorder::SetDispatchHook(
        [] { std::this_thread::sleep_for(std::chrono::microseconds(50)); });
    RecordingBrowser browser;
    for (int round = 0; round < 100; ++round) {
        TimeoutRecorder::Clear();
        auto plugin = std::make_unique<HTML5VideoPlugin>(&browser);
        int const before = service.DeliveredCount();
        for (int i = 0; i < 40; ++i) {
            service.Post(SIG_ID_MPLAYER_CLOSE_REQ);
        }
        RunUntil([&] { return service.DeliveredCount() - before >= 20; });
        void* const gone = plugin.get();
        plugin.reset(); // while deliveries still come
        for (TimeoutCall const& call : TimeoutRecorder::Calls()) {
            ASSERT_FALSE(call.data == gone && TimeoutRecorder::IsLive(call.id)) << round;
        }
        service.WaitUntilDelivered();
        RunPendingEvents();
    }
    TimeoutRecorder::SetDispatchHook(nullptr);
    MediaPlayerInterface::GetInstance()->SetService(nullptr);
}

} // namespace
