// The media player stand-in: a delivery racing Unregister, and the byte
// layout of the payloads the plugin reads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/MediaPlayerInterface.h"
#include "platform/MediaPlayerMessages.h"

namespace {

using namespace MediaPlayerMessages;

TEST(MediaPlayerClient, ADeliveryWithoutClientStillReleasesThePayload) {
    CQuorMsg msg(SIG_ID_MPLAYER_MEDIA_INFO_IND);
    SetText(msg, "<mediainfo/>");
    EXPECT_FALSE(MediaPlayerInterface::GetInstance()->Deliver(msg));
    EXPECT_EQ(nullptr, msg.m_signalPtr); // LeakSanitizer reports it otherwise
}

TEST(MediaPlayerClient, UnregisterWaitsForARunningDelivery) {
    auto* player = MediaPlayerInterface::GetInstance();
    struct SlowClient : PluginBase {
        std::atomic<bool> inside{false};
        std::atomic<bool> finished{false};
        void ProcessQuorMsg(CQuorMsg*) override {
            inside = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            finished = true;
        }
    } client;
    player->Register(&client, "slow");
    std::thread delivery([&] {
        CQuorMsg msg(SIG_ID_MPLAYER_OPEN_RESP);
        player->Deliver(msg);
    });
    while (!client.inside) {
        std::this_thread::yield();
    }
    player->Unregister(&client);
    EXPECT_TRUE(client.finished); // no delivery runs once Unregister returned
    delivery.join();
}

TEST(MessageBuilders, PayloadsHaveTheServicesByteLayout) {
    CQuorMsg msg(SIG_ID_MPLAYER_VIDEO_FORMAT_IND);
    SetVideoFormat(msg, 0x0780, 0x0438, 16, 9);
    ASSERT_EQ(20, msg.m_signalSize);
    auto const* bytes = static_cast<unsigned char const*>(msg.m_signalPtr);
    // Width and height high byte first at 6 and 8, the aspect ratio at 14 and 16.
    EXPECT_EQ((std::vector<int>{0x07, 0x80, 0x04, 0x38, 0, 16, 9}),
              (std::vector<int>{bytes[6], bytes[7], bytes[8], bytes[9], bytes[14], bytes[15],
                                bytes[17]}));

    SetNewBaseTime(msg, 7, 0x0102030405060708LL, -1);
    ASSERT_EQ(16, msg.m_signalSize);
    bytes = static_cast<unsigned char const*>(msg.m_signalPtr);
    int64_t position;
    int32_t duration;
    std::memcpy(&position, bytes + 4, 8);
    std::memcpy(&duration, bytes + 12, 4);
    EXPECT_EQ(0x0102030405060708LL, position);
    EXPECT_EQ(-1, duration);

    SetPlaySpeeds(msg, -8.0, 2.5);
    double speeds[2];
    std::memcpy(speeds, msg.m_signalPtr, 16);
    EXPECT_EQ(-8.0, speeds[0]);
    EXPECT_EQ(2.5, speeds[1]);

    SetText(msg, "abc");
    EXPECT_EQ(4, msg.m_signalSize);
    EXPECT_EQ(0, std::memcmp("abc", msg.m_signalPtr, 4));
    ReleaseMessagePayload(msg);
}

} // namespace
