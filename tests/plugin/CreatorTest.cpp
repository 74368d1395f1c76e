#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/MediaPlayerInterface.h"
#include "plugin/HTML5VideoPluginCreator.h"
#include "support/SyslogCapture.h"

namespace {

using VideoPlugin::IsNotSupported;
using VideoPlugin::IsSupported;

// The browser's view: the factory through its interface. The browser never
// frees it; the test does, as the concrete type.
class CreatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        SyslogCapture::Clear();
        owned.reset(new HTML5VideoPluginCreator);
        creator = owned.get();
    }
    VideoPlugin::SupportsType Three(std::string const& type, std::string const& codecs,
                                    std::string const& url) {
        return creator->supportsType(type, codecs, url);
    }
    VideoPlugin::SupportsType Four(std::string const& type, std::string const& codecs,
                                   std::string const& keySystem, std::string const& url) {
        return creator->supportsType(type, codecs, keySystem, url);
    }

    std::unique_ptr<HTML5VideoPluginCreator> owned;
    VideoPlugin::Creator* creator = nullptr;
};

TEST(EntryPoint, IsExportedUnderItsPlainNameAndReturnsAFreshFactory) {
    using Init = VideoPlugin::Creator* (*)();
    auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "initVideoPlugin"));
    ASSERT_NE(nullptr, init) << "initVideoPlugin is not exported unmangled";
    SyslogCapture::Clear();
    VideoPlugin::Creator* first = init();
    VideoPlugin::Creator* second = init();
    EXPECT_NE(first, second);
    EXPECT_EQ(
        2, SyslogCapture::Count("html5-video-plugin: VideoPlugin::Creator* initVideoPlugin(): "));
    auto lines = SyslogCapture::Lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(6, lines[0].priority);
    EXPECT_EQ("html5-video-plugin: VideoPlugin::Creator* initVideoPlugin(): ", lines[0].text);
    delete static_cast<HTML5VideoPluginCreator*>(first);
    delete static_cast<HTML5VideoPluginCreator*>(second);
}

TEST_F(CreatorTest, SupportedTypesEndWithTheTable) {
    auto types = creator->getSupportedTypes();
    ASSERT_EQ(6u, types.size());
    EXPECT_EQ("audio/x-ms-asf:wma:Audio Plugin;", types[5]);
}

// Type, codecs and URL scheme: only mp4 video (but one codec string) and HLS
// playlists, in exactly this case, over plain http or no scheme at all.
TEST_F(CreatorTest, TypeCodecsAndSchemeDecideTheAnswer) {
    struct Case {
        char const* type;
        char const* codecs;
        char const* url;
        VideoPlugin::SupportsType answer;
    } const cases[] = {
        {"video/mp4", "", "", IsSupported},
        {"video/mp4", "avc1.4d401f", "", IsNotSupported},
        {"video/mp4", "avc1.4d401e", "", IsSupported},
        {"video/mp4", "avc1.4d401f, mp4a.40.2", "", IsSupported},
        {"application/x-mpegurl", "avc1.4d401f", "", IsSupported},
        {"application/x-mpegurl", "anything", "http://host/a.m3u8", IsSupported},
        {"video/mpeg", "", "", IsNotSupported},
        {"audio/mp4", "", "", IsNotSupported},
        {"application/dash+xml", "", "", IsNotSupported},
        {"", "", "", IsNotSupported},
        {"video/MP4", "", "", IsNotSupported},
        {"APPLICATION/X-MPEGURL", "", "", IsNotSupported},
        {"video/mp4 ", "", "", IsNotSupported},
        {"video/mp4", "", "http://host/a.mp4", IsSupported},
        {"video/mp4", "", "http:", IsSupported},
        {"video/mp4", "", "https://host/a.mp4", IsNotSupported},
        {"application/x-mpegurl", "", "https:x", IsNotSupported},
        {"video/mp4", "", "file:///media/a.mp4", IsNotSupported},
        {"video/mp4", "", "/media/a.mp4", IsNotSupported},
        {"video/mp4", "", "http", IsNotSupported},
        {"video/mp4", "", "HTTP://host/a.mp4", IsNotSupported},
        {"video/mp4", "", "httpx://host", IsNotSupported},
        {"video/mp4", "", "https", IsSupported}, // no colon: not the secure scheme
        {"video/mp4", "", "httpsx://host", IsSupported},
        {"audio/mp4", "", "http://host/a.mp4", IsNotSupported},
        {"video/mp4", "avc1.4d401f", "http://host/a.mp4", IsNotSupported},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(c.answer, Three(c.type, c.codecs, c.url))
            << c.type << "|" << c.codecs << "|" << c.url;
    }
}

TEST_F(CreatorTest, AKeySystemIsRefusedBeforeTheTypeRules) {
    EXPECT_EQ(IsNotSupported, Four("video/mp4", "", "com.widevine.alpha", ""));
    EXPECT_EQ(IsNotSupported, Four("application/x-mpegurl", "", "x", "http://host/a.m3u8"));
    EXPECT_EQ(IsSupported, Four("video/mp4", "", "", "http://host/a.mp4"));
    EXPECT_EQ(IsNotSupported, Four("video/mp4", "", "", "https://host/a.mp4"));
    // With a key system the three-argument rules do not run (no "result=" line).
    SyslogCapture::Clear();
    Four("video/mp4", "", "org.w3.clearkey", "");
    EXPECT_EQ(0, SyslogCapture::Count("result="));
}

TEST_F(CreatorTest, CreateLogsTheBrowserAndReturnsAPluginTheBrowserDeletes) {
    struct NullService : MediaPlayerService {
        bool HandleRequest(MediaPlayerRequest const&) override { return true; }
    } service;
    MediaPlayerInterface::GetInstance()->SetService(&service);
    auto* fakeBrowser = reinterpret_cast<VideoPlugin::BrowserInterface*>(0x1234);
    VideoPlugin::PluginInterface* plugin = creator->create(fakeBrowser);
    ASSERT_NE(nullptr, plugin);
    EXPECT_EQ(1, SyslogCapture::Count("HTML5VideoPluginCreator::create(VideoPlugin::"
                                      "BrowserInterface*): browserInterface=0x1234"));
    delete plugin;
    MediaPlayerInterface::GetInstance()->SetService(nullptr);
}

} // namespace
