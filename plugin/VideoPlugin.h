#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The browser's video plugin interface. The browser calls a plugin through
// Creator and PluginInterface and is called back through BrowserInterface.
// The order of the virtual operations is the browser's ABI: never reorder,
// insert or remove one.
namespace VideoPlugin {

enum SupportsType : int32_t {
    IsNotSupported = 0,
    IsSupported = 1,
    MayBeSupported = 2,
};

enum NetworkState : int32_t {
    NetworkEmpty = 0,
    NetworkIdle = 1,
    NetworkLoading = 2,
    NetworkLoaded = 3,
    NetworkFormatError = 4,
    NetworkNetworkError = 5,
    NetworkDecodeError = 6,
};

enum ReadyState : int32_t {
    HaveNothing = 0,
    HaveMetadata = 1,
    HaveCurrentData = 2,
    HaveFutureData = 3,
    HaveEnoughData = 4,
};

enum Preload : int32_t {
    PreloadNone = 0,
    PreloadMetaData = 1,
    PreloadAuto = 2,
};

enum MovieLoadType : int32_t {
    MovieLoadUnknown = 0,
    MovieLoadDownload = 1,
    MovieLoadStoredStream = 2,
    MovieLoadLiveStream = 3,
};

enum AddIdStatus : int32_t {
    AddIdOk = 0,
    AddIdNotSupported = 1,
    AddIdReachedIdLimit = 2,
};

enum MediaKeyException : int32_t {
    MediaKeyNoError = 0,
    MediaKeyInvalidPlayerState = 1,
    MediaKeyKeySystemNotSupported = 2,
};

enum EndOfStreamStatus : int32_t {
    EndOfStreamNoError = 0,
    EndOfStreamNetworkError = 1,
    EndOfStreamDecodeError = 2,
};

struct Size {
    int32_t width;
    int32_t height;
};

struct Rectangle {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// A time range in seconds.
struct Range {
    float start;
    float end;
};
typedef std::vector<Range> TimeRanges;

// The browser's drawing context; plugins only pass it back.
class GraphicsContext;

// Implemented by the browser, one per media element. Slot numbers are fixed:
// networkStateChanged 0, readyStateChanged 1, timeChanged 4, durationChanged
// 8, playbackStateChanged 11, isVisible 12, paintVideoArea 15.
class BrowserInterface {
public:
    virtual void networkStateChanged() = 0;                                           // 0
    virtual void readyStateChanged() = 0;                                             // 1
    virtual void volumeChanged() = 0;                                                 // 2
    virtual void muteChanged() = 0;                                                   // 3
    virtual void timeChanged() = 0;                                                   // 4
    virtual void sizeChanged() = 0;                                                   // 5
    virtual void rateChanged() = 0;                                                   // 6
    virtual void repaint() = 0;                                                       // 7
    virtual void durationChanged() = 0;                                               // 8
    virtual void sawUnsupportedTracks() = 0;                                          // 9
    virtual void engineUpdated() = 0;                                                 // 10
    virtual void playbackStateChanged() = 0;                                          // 11
    virtual bool isVisible() = 0;                                                     // 12
    virtual float contentsScale() = 0;                                                // 13
    virtual void firstVideoFrameAvailable() = 0;                                      // 14
    virtual void paintVideoArea(GraphicsContext* context, Rectangle const& rect) = 0; // 15

protected:
    // Plugins never delete the browser's object; no destructor in the table.
    ~BrowserInterface() = default;
};

// Implemented by the plugin, one object per media element. The browser owns
// it and deletes it through the virtual destructor.
class PluginInterface {
public:
    virtual ~PluginInterface() = default;

    virtual void load(std::string url) = 0;
    virtual void cancelLoad() = 0;
    virtual void prepareToPlay() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual bool supportsFullscreen() = 0;
    virtual bool supportsSave() = 0;
    virtual bool supportsScanning() = 0;
    virtual Size naturalSize() = 0;
    virtual bool hasVideo() = 0;
    virtual bool hasAudio() = 0;
    virtual void setVisible(bool visible) = 0;
    virtual float duration() = 0;
    virtual float currentTime() = 0;
    virtual void seek(float time) = 0;
    virtual bool seeking() = 0;
    virtual float startTime() = 0;
    virtual double initialTime() = 0;
    virtual void setRate(float rate) = 0;
    virtual void setPreservesPitch(bool preservesPitch) = 0;
    virtual bool paused() = 0;
    virtual void setVolume(float volume) = 0;
    virtual bool supportsMuting() = 0;
    virtual void setMuted(bool muted) = 0;
    virtual bool hasClosedCaptions() = 0;
    virtual void setClosedCaptionsVisible(bool visible) = 0;
    virtual NetworkState networkState() = 0;
    virtual ReadyState readyState() = 0;
    virtual TimeRanges seekable() = 0;
    virtual float maxTimeSeekable() = 0;
    virtual TimeRanges buffered() = 0;
    virtual bool didLoadingProgress() = 0;
    virtual void setSize(Size const& size) = 0;
    virtual void paint(GraphicsContext* context, Rectangle const& rect) = 0;
    virtual void setPreload(Preload preload) = 0;
    virtual bool hasAvailableVideoFrame() = 0;
    virtual bool canLoadPoster() = 0;
    virtual void setPoster(std::string const& poster) = 0;
    virtual void setControls(bool controls) = 0;
    virtual void enterFullscreen() = 0;
    virtual void exitFullscreen() = 0;
    virtual bool canEnterFullscreen() = 0;
    virtual bool supportsAcceleratedRendering() = 0;
    virtual void acceleratedRenderingStateChanged() = 0;
    virtual bool hasSingleSecurityOrigin() = 0;
    virtual bool didPassCORSAccessCheck() = 0;
    virtual MovieLoadType movieLoadType() = 0;
    virtual void prepareForRendering() = 0;
    virtual float mediaTimeForTimeValue(float timeValue) = 0;
    virtual double maximumDurationToCacheMediaTime() = 0;
    virtual unsigned decodedFrameCount() = 0;
    virtual unsigned droppedFrameCount() = 0;
    virtual unsigned audioDecodedByteCount() = 0;
    virtual unsigned videoDecodedByteCount() = 0;
    virtual void getSitesInMediaCache(std::vector<std::string>& sites) = 0;
    virtual void clearMediaCache() = 0;
    virtual void clearMediaCacheForSite(std::string const& site) = 0;
    virtual void setPrivateBrowsingMode(bool privateMode) = 0;
    virtual std::string engineDescription() = 0;
    virtual AddIdStatus sourceAddId(std::string const& id, std::string const& type,
                                    std::vector<std::string> const& codecs) = 0;
    virtual TimeRanges sourceBuffered(std::string const& id) = 0;
    virtual bool sourceRemoveId(std::string const& id) = 0;
    virtual bool sourceAppend(std::string const& id, unsigned char const* data,
                              unsigned length) = 0;
    virtual bool sourceAbort(std::string const& id) = 0;
    virtual void sourceEndOfStream(EndOfStreamStatus status) = 0;
    virtual bool sourceSetTimestampOffset(std::string const& id, double offset) = 0;
    virtual MediaKeyException addKey(std::string const& keySystem, unsigned char const* key,
                                     unsigned keyLength, unsigned char const* initData,
                                     unsigned initDataLength, std::string const& sessionId) = 0;
    virtual MediaKeyException generateKeyRequest(std::string const& keySystem,
                                                 unsigned char const* initData,
                                                 unsigned initDataLength) = 0;
    virtual MediaKeyException cancelKeyRequest(std::string const& keySystem,
                                               std::string const& sessionId) = 0;
};

// The plugin's factory, obtained from initVideoPlugin. The browser keeps it
// for the life of the process; no destructor in the table.
class Creator {
public:
    virtual PluginInterface* create(BrowserInterface* browserInterface) = 0;
    virtual std::vector<std::string> getSupportedTypes() = 0;
    virtual SupportsType supportsType(std::string const& type, std::string const& codecs,
                                      std::string const& keySystem, std::string const& url) = 0;
    virtual SupportsType supportsType(std::string const& type, std::string const& codecs,
                                      std::string const& url) = 0;

protected:
    ~Creator() = default;
};

} // namespace VideoPlugin
