// The browser reaches the plugin, and the plugin the browser, by slot number:
// these are ABI checks of the declarations.
#include <gtest/gtest.h>

#include "VtableSlot.h"
#include "platform/PluginBase.h"
#include "plugin/HTML5VideoPlugin.h"
#include "plugin/HTML5VideoPluginCreator.h"
#include "plugin/VideoPlugin.h"

namespace {

using VideoPlugin::BrowserInterface;
using VideoPlugin::Creator;
using VideoPlugin::PluginInterface;

TEST(BrowserInterfaceSlots, TheSevenCalledOperationsSitAtTheirSlots) {
    EXPECT_EQ(0, SlotOf(&BrowserInterface::networkStateChanged));
    EXPECT_EQ(1, SlotOf(&BrowserInterface::readyStateChanged));
    EXPECT_EQ(4, SlotOf(&BrowserInterface::timeChanged));
    EXPECT_EQ(8, SlotOf(&BrowserInterface::durationChanged));
    EXPECT_EQ(11, SlotOf(&BrowserInterface::playbackStateChanged));
    EXPECT_EQ(12, SlotOf(&BrowserInterface::isVisible));
    EXPECT_EQ(15, SlotOf(&BrowserInterface::paintVideoArea));
}

TEST(BrowserInterfaceSlots, TheFillersTakeTheOtherSlotsAndNothingFollows) {
    EXPECT_EQ(2, SlotOf(&BrowserInterface::volumeChanged));
    EXPECT_EQ(3, SlotOf(&BrowserInterface::muteChanged));
    EXPECT_EQ(5, SlotOf(&BrowserInterface::sizeChanged));
    EXPECT_EQ(6, SlotOf(&BrowserInterface::rateChanged));
    EXPECT_EQ(7, SlotOf(&BrowserInterface::repaint));
    EXPECT_EQ(9, SlotOf(&BrowserInterface::sawUnsupportedTracks));
    EXPECT_EQ(10, SlotOf(&BrowserInterface::engineUpdated));
    EXPECT_EQ(13, SlotOf(&BrowserInterface::contentsScale));
    EXPECT_EQ(14, SlotOf(&BrowserInterface::firstVideoFrameAvailable));
    // No virtual destructor: the object is the table pointer alone.
    EXPECT_FALSE(std::has_virtual_destructor<BrowserInterface>::value);
}

TEST(CreatorSlots, FactoryOperationsInOrderWithoutDestructor) {
    using Four = VideoPlugin::SupportsType (Creator::*)(std::string const&, std::string const&,
                                                        std::string const&, std::string const&);
    using Three = VideoPlugin::SupportsType (Creator::*)(std::string const&, std::string const&,
                                                         std::string const&);
    EXPECT_EQ(0, SlotOf(&Creator::create));
    EXPECT_EQ(1, SlotOf(&Creator::getSupportedTypes));
    EXPECT_EQ(2, SlotOf(static_cast<Four>(&Creator::supportsType)));
    EXPECT_EQ(3, SlotOf(static_cast<Three>(&Creator::supportsType)));
    EXPECT_FALSE(std::has_virtual_destructor<Creator>::value);
    // The factory adds no data and no slot of its own.
    EXPECT_EQ(sizeof(void*), sizeof(HTML5VideoPluginCreator));
}

TEST(PluginInterfaceSlots, OperationsFollowTheDestructorInTableOrder) {
    // Slots 0 and 1 are the complete and deleting destructors.
    EXPECT_TRUE(std::has_virtual_destructor<PluginInterface>::value);
    std::ptrdiff_t const slots[] = {
        SlotOf(&PluginInterface::load),
        SlotOf(&PluginInterface::cancelLoad),
        SlotOf(&PluginInterface::prepareToPlay),
        SlotOf(&PluginInterface::play),
        SlotOf(&PluginInterface::pause),
        SlotOf(&PluginInterface::supportsFullscreen),
        SlotOf(&PluginInterface::supportsSave),
        SlotOf(&PluginInterface::supportsScanning),
        SlotOf(&PluginInterface::naturalSize),
        SlotOf(&PluginInterface::hasVideo),
        SlotOf(&PluginInterface::hasAudio),
        SlotOf(&PluginInterface::setVisible),
        SlotOf(&PluginInterface::duration),
        SlotOf(&PluginInterface::currentTime),
        SlotOf(&PluginInterface::seek),
        SlotOf(&PluginInterface::seeking),
        SlotOf(&PluginInterface::startTime),
        SlotOf(&PluginInterface::initialTime),
        SlotOf(&PluginInterface::setRate),
        SlotOf(&PluginInterface::setPreservesPitch),
        SlotOf(&PluginInterface::paused),
        SlotOf(&PluginInterface::setVolume),
        SlotOf(&PluginInterface::supportsMuting),
        SlotOf(&PluginInterface::setMuted),
        SlotOf(&PluginInterface::hasClosedCaptions),
        SlotOf(&PluginInterface::setClosedCaptionsVisible),
        SlotOf(&PluginInterface::networkState),
        SlotOf(&PluginInterface::readyState),
        SlotOf(&PluginInterface::seekable),
        SlotOf(&PluginInterface::maxTimeSeekable),
        SlotOf(&PluginInterface::buffered),
        SlotOf(&PluginInterface::didLoadingProgress),
        SlotOf(&PluginInterface::setSize),
        SlotOf(&PluginInterface::paint),
        SlotOf(&PluginInterface::setPreload),
        SlotOf(&PluginInterface::hasAvailableVideoFrame),
        SlotOf(&PluginInterface::canLoadPoster),
        SlotOf(&PluginInterface::setPoster),
        SlotOf(&PluginInterface::setControls),
        SlotOf(&PluginInterface::enterFullscreen),
        SlotOf(&PluginInterface::exitFullscreen),
        SlotOf(&PluginInterface::canEnterFullscreen),
        SlotOf(&PluginInterface::supportsAcceleratedRendering),
        SlotOf(&PluginInterface::acceleratedRenderingStateChanged),
        SlotOf(&PluginInterface::hasSingleSecurityOrigin),
        SlotOf(&PluginInterface::didPassCORSAccessCheck),
        SlotOf(&PluginInterface::movieLoadType),
        SlotOf(&PluginInterface::prepareForRendering),
        SlotOf(&PluginInterface::mediaTimeForTimeValue),
        SlotOf(&PluginInterface::maximumDurationToCacheMediaTime),
        SlotOf(&PluginInterface::decodedFrameCount),
        SlotOf(&PluginInterface::droppedFrameCount),
        SlotOf(&PluginInterface::audioDecodedByteCount),
        SlotOf(&PluginInterface::videoDecodedByteCount),
        SlotOf(&PluginInterface::getSitesInMediaCache),
        SlotOf(&PluginInterface::clearMediaCache),
        SlotOf(&PluginInterface::clearMediaCacheForSite),
        SlotOf(&PluginInterface::setPrivateBrowsingMode),
        SlotOf(&PluginInterface::engineDescription),
        SlotOf(&PluginInterface::sourceAddId),
        SlotOf(&PluginInterface::sourceBuffered),
        SlotOf(&PluginInterface::sourceRemoveId),
        SlotOf(&PluginInterface::sourceAppend),
        SlotOf(&PluginInterface::sourceAbort),
        SlotOf(&PluginInterface::sourceEndOfStream),
        SlotOf(&PluginInterface::sourceSetTimestampOffset),
        SlotOf(&PluginInterface::addKey),
        SlotOf(&PluginInterface::generateKeyRequest),
        SlotOf(&PluginInterface::cancelKeyRequest),
    };
    ASSERT_EQ(69u, sizeof slots / sizeof slots[0]);
    for (std::size_t i = 0; i < sizeof slots / sizeof slots[0]; ++i) {
        EXPECT_EQ(static_cast<std::ptrdiff_t>(i + 2), slots[i]) << "operation " << i;
    }
}

TEST(PluginInterfaceSlots, ThePluginAppendsTheServiceCallbackLast) {
    using Intake = void (HTML5VideoPlugin::*)(CQuorMsg*);
    // 2 destructor slots + 69 operations, then ProcessQuorMsg.
    EXPECT_EQ(71, SlotOf(static_cast<Intake>(&HTML5VideoPlugin::ProcessQuorMsg)));
    // The service's view: destructor (0, 1), then ProcessQuorMsg.
    EXPECT_EQ(2, SlotOf(&PluginBase::ProcessQuorMsg));
}

} // namespace
