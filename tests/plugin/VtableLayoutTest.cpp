// The browser reaches the plugin, and the plugin the browser, by slot number:
// these are ABI checks of the declarations.
#include <gtest/gtest.h>

#include <vector>

#include "VtableSlot.h"
#include "platform/PluginBase.h"
#include "plugin/HTML5VideoPlugin.h"
#include "plugin/HTML5VideoPluginCreator.h"
#include "plugin/VideoPlugin.h"

namespace {

using VideoPlugin::BrowserInterface;
using VideoPlugin::Creator;
using VideoPlugin::PluginInterface;
using B = BrowserInterface;
using P = PluginInterface;

// The slots of the given operations, in the same order.
template <typename... Functions> std::vector<std::ptrdiff_t> SlotsOf(Functions... functions) {
    return {SlotOf(functions)...};
}

TEST(BrowserInterfaceSlots, CalledOperationsAndFillersSitAtTheirSlotsAndNothingFollows) {
    // The seven operations the plugin calls (slots 0, 1, 4, 8, 11, 12, 15) and
    // the fillers between them.
    std::vector<std::ptrdiff_t> const slots =
        SlotsOf(&B::networkStateChanged, &B::readyStateChanged, &B::volumeChanged, &B::muteChanged,
                &B::timeChanged, &B::sizeChanged, &B::rateChanged, &B::repaint, &B::durationChanged,
                &B::sawUnsupportedTracks, &B::engineUpdated, &B::playbackStateChanged,
                &B::isVisible, &B::contentsScale, &B::firstVideoFrameAvailable, &B::paintVideoArea);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(static_cast<std::ptrdiff_t>(i), slots[i]) << "operation " << i;
    }
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
    std::vector<std::ptrdiff_t> const slots = SlotsOf(
        &P::load, &P::cancelLoad, &P::prepareToPlay, &P::play, &P::pause, &P::supportsFullscreen,
        &P::supportsSave, &P::supportsScanning, &P::naturalSize, &P::hasVideo, &P::hasAudio,
        &P::setVisible, &P::duration, &P::currentTime, &P::seek, &P::seeking, &P::startTime,
        &P::initialTime, &P::setRate, &P::setPreservesPitch, &P::paused, &P::setVolume,
        &P::supportsMuting, &P::setMuted, &P::hasClosedCaptions, &P::setClosedCaptionsVisible,
        &P::networkState, &P::readyState, &P::seekable, &P::maxTimeSeekable, &P::buffered,
        &P::didLoadingProgress, &P::setSize, &P::paint, &P::setPreload, &P::hasAvailableVideoFrame,
        &P::canLoadPoster, &P::setPoster, &P::setControls, &P::enterFullscreen, &P::exitFullscreen,
        &P::canEnterFullscreen, &P::supportsAcceleratedRendering,
        &P::acceleratedRenderingStateChanged, &P::hasSingleSecurityOrigin,
        &P::didPassCORSAccessCheck, &P::movieLoadType, &P::prepareForRendering,
        &P::mediaTimeForTimeValue, &P::maximumDurationToCacheMediaTime, &P::decodedFrameCount,
        &P::droppedFrameCount, &P::audioDecodedByteCount, &P::videoDecodedByteCount,
        &P::getSitesInMediaCache, &P::clearMediaCache, &P::clearMediaCacheForSite,
        &P::setPrivateBrowsingMode, &P::engineDescription, &P::sourceAddId, &P::sourceBuffered,
        &P::sourceRemoveId, &P::sourceAppend, &P::sourceAbort, &P::sourceEndOfStream,
        &P::sourceSetTimestampOffset, &P::addKey, &P::generateKeyRequest, &P::cancelKeyRequest);
    ASSERT_EQ(69u, slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
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
