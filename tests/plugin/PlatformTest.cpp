// The media player stand-ins: the client singleton, the scripted and the
// simulated service, the value types and the media information.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/HbbVideoProperties.h"
#include "platform/MediaInfo.h"
#include "platform/MediaPlayerInterface.h"
#include "platform/MediaPlayerMessages.h"
#include "platform/SimulatedClip.h"
#include "platform/SimulatedMediaPlayerService.h"

namespace {

using namespace MediaPlayerMessages;

// A client that records what the service delivers and on which thread.
class RecordingClient : public PluginBase {
public:
    struct Received {
        unsigned long signal;
        long userData;
        std::string payload;
        std::thread::id thread;
    };

    void ProcessQuorMsg(CQuorMsg* msg) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string payload;
        if (msg->m_signalPtr != nullptr && msg->m_signalSize > 0) {
            payload.assign(static_cast<char const*>(msg->m_signalPtr),
                           static_cast<std::size_t>(msg->m_signalSize));
        }
        m_received.push_back(
            {msg->m_signalName, msg->m_userData, payload, std::this_thread::get_id()});
        m_changed.notify_all();
    }
    std::vector<Received> Received_() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    std::vector<unsigned long> Signals() {
        std::vector<unsigned long> signals;
        for (auto const& r : Received_()) {
            signals.push_back(r.signal);
        }
        return signals;
    }
    // Waits until a message with this signal arrived; its index or -1.
    int WaitFor(unsigned long signal, int seconds = 5) {
        std::unique_lock<std::mutex> lock(m_mutex);
        int found = -1;
        m_changed.wait_for(lock, std::chrono::seconds(seconds), [&] {
            for (std::size_t i = 0; i < m_received.size(); ++i) {
                if (m_received[i].signal == signal) {
                    found = static_cast<int>(i);
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Received> m_received;
};

class Registered : public ::testing::Test {
protected:
    void SetUp() override { player->Register(&client, "test-client"); }
    void TearDown() override {
        player->Unregister(&client);
        player->SetService(nullptr);
    }
    MediaPlayerInterface* player = MediaPlayerInterface::GetInstance();
    RecordingClient client;
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
    EXPECT_EQ(0x07, bytes[6]);
    EXPECT_EQ(0x80, bytes[7]);
    EXPECT_EQ(0x04, bytes[8]);
    EXPECT_EQ(0x38, bytes[9]);
    EXPECT_EQ(0, bytes[14]);
    EXPECT_EQ(16, bytes[15]);
    EXPECT_EQ(9, bytes[17]);

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
    EXPECT_EQ(10, clip.durationSeconds);
    EXPECT_EQ(1, clip.videoStreams);
    ASSERT_TRUE(SimulatedClip::FromUrl(
        "http://h/a.mp4?duration=3&video=0&audio=2&subtitles=1&size=640x480&fail=seek&x=y#frag",
        clip, error));
    EXPECT_EQ(3, clip.durationSeconds);
    EXPECT_EQ(0, clip.videoStreams);
    EXPECT_EQ(2, clip.audioStreams);
    EXPECT_EQ(1, clip.subtitleStreams);
    EXPECT_EQ(640, clip.width);
    EXPECT_EQ(480, clip.height);
    EXPECT_EQ("seek", clip.fail);
    for (char const* bad : {"?duration=0", "?duration=abc", "?duration=", "?video=9", "?size=640",
                            "?size=10x10", "?fail=later", "?duration=99999999999"}) {
        EXPECT_FALSE(SimulatedClip::FromUrl(std::string("http://h/a") + bad, clip, error)) << bad;
        EXPECT_NE(std::string::npos, error.find("bad URL parameter")) << bad;
    }
}

using SimulatedService = Registered;

TEST_F(SimulatedService, OpenAnswersWithTheResponseAndTheFirstIndications) {
    SimulatedMediaPlayerService service;
    player->SetService(&service);
    MediaPlayerOpenReq open = {};
    open.url = "http://h/a.mp4?duration=4&audio=2";
    ASSERT_TRUE(player->sendOpenReq(open));
    service.WaitIdle();
    EXPECT_EQ((std::vector<unsigned long>{
                  SIG_ID_MPLAYER_OPEN_RESP, SIG_ID_MPLAYER_LOADING_PROGRESS_IND,
                  SIG_ID_MPLAYER_NUM_STREAMS_IND, SIG_ID_MPLAYER_MEDIA_INFO_IND,
                  SIG_ID_MPLAYER_VIDEO_FORMAT_IND, SIG_ID_MPLAYER_SUPPORTED_PLAY_SPEED_IND,
                  SIG_ID_MPLAYER_SEEKABLE_IND, SIG_ID_MPLAYER_NEW_BASE_TIME_IND,
                  SIG_ID_MPLAYER_STATE_CHANGED_IND, SIG_ID_MPLAYER_STATE_CHANGED_IND}),
              client.Signals());
    auto received = client.Received_();
    EXPECT_EQ(std::string("\x01\x02\x00", 3), received[2].payload);
    MediaInfo info;
    EXPECT_TRUE(info.parseXML(received[3].payload.c_str()));
    EXPECT_EQ(2u, info.audioStreams().size());
    EXPECT_EQ(1, received[8].userData);
    EXPECT_EQ(2, received[9].userData);
    EXPECT_NE(std::this_thread::get_id(), received[0].thread);
    EXPECT_EQ(1, service.RequestCounts()[0]);
}

} // namespace
