#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(CreatorTest, SupportedTypesAreTheSixTableStringsInOrder) {
    auto types = creator->getSupportedTypes();
    ASSERT_EQ(6u, types.size());
    EXPECT_EQ("video/mpeg:mp4:Video Plugin;", types[0]);
    EXPECT_EQ("video/mpeg4:mp4:Video Plugin;", types[1]);
    EXPECT_EQ("video/mp4:mp4:Video Plugin;", types[2]);
    EXPECT_EQ("application/dash+xml:dash:Video Plugin;application/x-mpegurl:m3u:Audio "
              "Plugin;audio/mpeg:mp4:Audio Plugin;",
              types[3]);
    EXPECT_EQ("audio/mp4:mp4:Audio Plugin;", types[4]);
    EXPECT_EQ("audio/x-ms-asf:wma:Audio Plugin;", types[5]);
    // Every entry is "type:extension:description;"; the fourth holds three.
    for (std::size_t i = 0; i < types.size(); ++i) {
        auto entries = std::count(types[i].begin(), types[i].end(), ';');
        EXPECT_EQ(i == 3 ? 3 : 1, entries) << types[i];
        EXPECT_EQ(2 * entries, std::count(types[i].begin(), types[i].end(), ':')) << types[i];
    }
    EXPECT_EQ(nullptr, html5VideoPluginSupportedTypes[6]);
}

TEST_F(CreatorTest, Mp4VideoIsSupportedExceptOneCodecString) {
    EXPECT_EQ(IsSupported, Three("video/mp4", "", ""));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "avc1.4d401f", ""));
    EXPECT_EQ(IsSupported, Three("video/mp4", "avc1.4d401e", ""));
    EXPECT_EQ(IsSupported, Three("video/mp4", "avc1.4d401f, mp4a.40.2", ""));
    EXPECT_EQ(IsSupported, Three("video/mp4", "avc1.64001f", "http://host/a.mp4"));
}

TEST_F(CreatorTest, HlsPlaylistsAreSupportedWhateverTheCodecs) {
    EXPECT_EQ(IsSupported, Three("application/x-mpegurl", "", ""));
    EXPECT_EQ(IsSupported, Three("application/x-mpegurl", "avc1.4d401f", ""));
    EXPECT_EQ(IsSupported, Three("application/x-mpegurl", "anything", "http://host/a.m3u8"));
}

TEST_F(CreatorTest, AdvertisedButOtherTypesAndOtherCaseAreRefused) {
    for (char const* type :
         {"video/mpeg", "video/mpeg4", "audio/mp4", "audio/mpeg", "application/dash+xml",
          "audio/x-ms-asf", "", "video/MP4", "Video/mp4", "APPLICATION/X-MPEGURL", "video/mp4 "}) {
        EXPECT_EQ(IsNotSupported, Three(type, "", "")) << type;
    }
}

TEST_F(CreatorTest, OnlyThePlainHttpSchemeKeepsTheAnswer) {
    EXPECT_EQ(IsSupported, Three("video/mp4", "", "http://host/a.mp4"));
    EXPECT_EQ(IsSupported, Three("video/mp4", "", "http:"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "https://host/a.mp4"));
    EXPECT_EQ(IsNotSupported, Three("application/x-mpegurl", "", "https:x"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "file:///media/a.mp4"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "ftp://host/a.mp4"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "/media/a.mp4"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "http"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "HTTP://host/a.mp4"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "", "httpx://host"));
    // "https" not followed by a colon is not the secure scheme.
    EXPECT_EQ(IsSupported, Three("video/mp4", "", "https"));
    EXPECT_EQ(IsSupported, Three("video/mp4", "", "httpsx://host"));
    // The scheme never turns a refused type into a supported one.
    EXPECT_EQ(IsNotSupported, Three("audio/mp4", "", "http://host/a.mp4"));
    EXPECT_EQ(IsNotSupported, Three("video/mp4", "avc1.4d401f", "http://host/a.mp4"));
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

TEST_F(CreatorTest, LogLinesCarryTheSignatureAndOnlyTheirWords) {
    Four("video/mp4", "c", "", "http://h/a");
    auto lines = SyslogCapture::Lines();
    ASSERT_EQ(3u, lines.size());
    for (auto const& line : lines) {
        EXPECT_EQ(6, line.priority);
    }
    std::string const four = "html5-video-plugin: virtual VideoPlugin::SupportsType "
                             "HTML5VideoPluginCreator::supportsType(const std::string&, const "
                             "std::string&, const std::string&, const std::string&): ";
    std::string const three = "html5-video-plugin: virtual VideoPlugin::SupportsType "
                              "HTML5VideoPluginCreator::supportsType(const std::string&, const "
                              "std::string&, const std::string&): ";
    EXPECT_EQ(four + "type=video/mp4, codecs=c, keySystem=, url=http://h/a", lines[0].text);
    EXPECT_EQ(three + "type=video/mp4, codecs=c, url=http://h/a", lines[1].text);
    EXPECT_EQ(three + "result=1", lines[2].text);
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
