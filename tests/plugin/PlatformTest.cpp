// The media player stand-ins: the client singleton, the message builders,
// the value types, the media information and the simulated clips.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>
#include <tuple>

#include "platform/HbbVideoProperties.h"
#include "platform/MediaInfo.h"
#include "platform/MediaPlayerInterface.h"
#include "platform/MediaPlayerMessages.h"
#include "platform/SimulatedClip.h"

namespace {

using namespace MediaPlayerMessages;

// A client that records the signals the service delivers.
class RecordingClient : public PluginBase {
public:
    void ProcessQuorMsg(CQuorMsg* msg) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signals.push_back(msg->m_signalName);
    }
    std::vector<unsigned long> Signals() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_signals;
    }

private:
    std::mutex m_mutex;
    std::vector<unsigned long> m_signals;
};

TEST(MediaPlayerClient, MessagesGoToTheLastRegisteredClientUntilItLeaves) {
    auto* player = MediaPlayerInterface::GetInstance();
    RecordingClient first, second;
    player->Register(&first, "first");
    player->Register(&second, "second");
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), player->RegisteredNames());
    CQuorMsg msg(SIG_ID_MPLAYER_OPEN_RESP);
    EXPECT_TRUE(player->Deliver(msg));
    EXPECT_EQ(0, player->Unregister(&first)); // the older client leaves
    CQuorMsg again(SIG_ID_MPLAYER_CLOSE_RESP);
    EXPECT_TRUE(player->Deliver(again));
    EXPECT_EQ(-1, player->Unregister(&first)); // not registered any more
    player->Unregister(&second);
    CQuorMsg later(SIG_ID_MPLAYER_PLAY_RESP);
    EXPECT_FALSE(player->Deliver(later));
    EXPECT_EQ(2u, second.Signals().size());
    EXPECT_TRUE(first.Signals().empty());
}

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

TEST(ValueTypes, StreamOutputNamesValuesAndFormatsTimes) {
    std::ostringstream out;
    out << MEDIAPLAYER_STATUS_NOT_FOUND << ' ' << static_cast<MediaPlayerStatus>(99) << ' '
        << MEDIAPLAYER_STATE_PLAYING << ' ' << static_cast<MediaPlayerState>(-1) << ' '
        << MEDIAPLAYER_ERROR_DECODER << ' ' << PlayTime{3725} << ' ' << PlayTime{-5} << ' '
        << PlayTimeMilliseconds{12345} << ' ' << PlayTimeMilliseconds{INT64_MIN};
    EXPECT_EQ("NOT_FOUND(4) UNKNOWN(99) PLAYING(3) UNKNOWN(-1) DECODER(3) 1:02:05 -0:00:05 "
              "0:00:12.345 -2562047788015:12:55.808",
              out.str());
}

TEST(MediaInformation, ParsesTheStreamListsInDocumentOrder) {
    MediaInfo info;
    ASSERT_TRUE(info.parseXML("<mediainfo><video codec=\"avc1\" width=\"1280\" height=\"720\"/>"
                              "<audio codec=\"mp4a\" language=\"en\" channels=\"6\"/>"
                              "<audio language=\"de\"/><subtitle language=\"fr\"/>"
                              "<unknown/></mediainfo>"));
    ASSERT_EQ(1u, info.videoStreams().size());
    EXPECT_EQ(1280, info.videoStreams()[0].width);
    ASSERT_EQ(2u, info.audioStreams().size());
    EXPECT_EQ(6, info.audioStreams()[0].channels);
    EXPECT_EQ("de", info.audioStreams()[1].language);
    ASSERT_EQ(1u, info.subtitleStreams().size());
    std::ostringstream out;
    out << info;
    EXPECT_EQ("video=[avc1 1280x720] audio=[mp4a en 6ch,  de 0ch] subtitles=[fr]", out.str());
}

TEST(MediaInformation, BadTextLeavesEmptyListsAndAFalseResult) {
    MediaInfo info;
    ASSERT_TRUE(info.parseXML("<mediainfo><video/></mediainfo>"));
    for (char const* bad : {"", "<mediainfo><video>", "<other><video/></other>", "not xml",
                            "<mediainfo><video/></mediainfo><x/>"}) {
        EXPECT_FALSE(info.parseXML(bad)) << bad;
        EXPECT_TRUE(info.videoStreams().empty()) << bad;
    }
}

TEST(SimulatedClipUrl, QueryParametersChooseTheClip) {
    SimulatedClip clip;
    std::string error;
    ASSERT_TRUE(SimulatedClip::FromUrl("http://h/a.mp4", clip, error));
    EXPECT_EQ(std::make_tuple(10, 1), std::tie(clip.durationSeconds, clip.videoStreams));
    ASSERT_TRUE(SimulatedClip::FromUrl(
        "http://h/a.mp4?duration=3&video=0&audio=2&subtitles=1&size=640x480&fail=seek&x=y#frag",
        clip, error));
    EXPECT_EQ(std::make_tuple(3, 0, 2, 1, 640, 480, std::string("seek")),
              std::tie(clip.durationSeconds, clip.videoStreams, clip.audioStreams,
                       clip.subtitleStreams, clip.width, clip.height, clip.fail));
    for (char const* bad : {"?duration=0", "?duration=abc", "?duration=", "?video=9", "?size=640",
                            "?size=10x10", "?fail=later", "?duration=99999999999"}) {
        EXPECT_FALSE(SimulatedClip::FromUrl(std::string("http://h/a") + bad, clip, error)) << bad;
        EXPECT_NE(std::string::npos, error.find("bad URL parameter")) << bad;
    }
}

} // namespace
