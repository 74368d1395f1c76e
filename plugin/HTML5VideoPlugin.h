#pragma once

#include <pthread.h>
#include <stdint.h>
#include <time.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/MediaInfo.h"
#include "platform/MediaPlayerInterface.h"
#include "platform/PluginBase.h"
#include "plugin/VideoPlugin.h"
#include "plugin/timer.h"
#include "runtime/CQuorMsg.h"
#include "util/QuorExport.h"

// The plugin object of one HTML5 media element. The browser calls it on its
// main thread (the thread of the default glib main context); the media player
// service delivers responses and indications on its own thread through
// PluginBase::ProcessQuorMsg, which only queues a copy and wakes the main
// loop. Everything else, the drain of that queue included, runs on the main
// thread, so the playback model needs no lock.
class QUOR_EXPORT HTML5VideoPlugin : public VideoPlugin::PluginInterface, public PluginBase {
public:
    explicit HTML5VideoPlugin(VideoPlugin::BrowserInterface* browser);
    ~HTML5VideoPlugin() override;
    HTML5VideoPlugin(HTML5VideoPlugin const&) = delete;
    HTML5VideoPlugin& operator=(HTML5VideoPlugin const&) = delete;

    // VideoPlugin::PluginInterface, in the order of its table.
    void load(std::string url) override;
    void cancelLoad() override;
    void prepareToPlay() override;
    void play() override;
    void pause() override;
    bool supportsFullscreen() override;
    bool supportsSave() override;
    bool supportsScanning() override;
    VideoPlugin::Size naturalSize() override;
    bool hasVideo() override;
    bool hasAudio() override;
    void setVisible(bool visible) override;
    float duration() override;
    float currentTime() override;
    void seek(float time) override;
    bool seeking() override;
    float startTime() override;
    double initialTime() override;
    void setRate(float rate) override;
    void setPreservesPitch(bool preservesPitch) override;
    bool paused() override;
    void setVolume(float volume) override;
    bool supportsMuting() override;
    void setMuted(bool muted) override;
    bool hasClosedCaptions() override;
    void setClosedCaptionsVisible(bool visible) override;
    VideoPlugin::NetworkState networkState() override;
    VideoPlugin::ReadyState readyState() override;
    VideoPlugin::TimeRanges seekable() override;
    float maxTimeSeekable() override;
    VideoPlugin::TimeRanges buffered() override;
    bool didLoadingProgress() override;
    void setSize(VideoPlugin::Size const& size) override;
    void paint(VideoPlugin::GraphicsContext* context, VideoPlugin::Rectangle const& rect) override;
    void setPreload(VideoPlugin::Preload preload) override;
    bool hasAvailableVideoFrame() override;
    bool canLoadPoster() override;
    void setPoster(std::string const& poster) override;
    void setControls(bool controls) override;
    void enterFullscreen() override;
    void exitFullscreen() override;
    bool canEnterFullscreen() override;
    bool supportsAcceleratedRendering() override;
    void acceleratedRenderingStateChanged() override;
    bool hasSingleSecurityOrigin() override;
    bool didPassCORSAccessCheck() override;
    VideoPlugin::MovieLoadType movieLoadType() override;
    void prepareForRendering() override;
    float mediaTimeForTimeValue(float timeValue) override;
    double maximumDurationToCacheMediaTime() override;
    unsigned decodedFrameCount() override;
    unsigned droppedFrameCount() override;
    unsigned audioDecodedByteCount() override;
    unsigned videoDecodedByteCount() override;
    void getSitesInMediaCache(std::vector<std::string>& sites) override;
    void clearMediaCache() override;
    void clearMediaCacheForSite(std::string const& site) override;
    void setPrivateBrowsingMode(bool privateMode) override;
    std::string engineDescription() override;
    VideoPlugin::AddIdStatus sourceAddId(std::string const& id, std::string const& type,
                                         std::vector<std::string> const& codecs) override;
    VideoPlugin::TimeRanges sourceBuffered(std::string const& id) override;
    bool sourceRemoveId(std::string const& id) override;
    bool sourceAppend(std::string const& id, unsigned char const* data, unsigned length) override;
    bool sourceAbort(std::string const& id) override;
    void sourceEndOfStream(VideoPlugin::EndOfStreamStatus status) override;
    bool sourceSetTimestampOffset(std::string const& id, double offset) override;
    VideoPlugin::MediaKeyException addKey(std::string const& keySystem, unsigned char const* key,
                                          unsigned keyLength, unsigned char const* initData,
                                          unsigned initDataLength,
                                          std::string const& sessionId) override;
    VideoPlugin::MediaKeyException generateKeyRequest(std::string const& keySystem,
                                                      unsigned char const* initData,
                                                      unsigned initDataLength) override;
    VideoPlugin::MediaKeyException cancelKeyRequest(std::string const& keySystem,
                                                    std::string const& sessionId) override;

    // PluginBase: a response or indication, on the service's thread. Queues a
    // copy, takes the payload from msg and wakes the main loop.
    void ProcessQuorMsg(CQuorMsg* msg) override;

    // The wake-up source's callback: drains the plugin that data points to.
    static int ProcessQuorMsg(void* data);

    // The drain: handles every queued message in arrival order (main thread).
    void ProcessQuorMsg();

private:
    friend class HTML5VideoPluginInspector; // tests read the model

    // The handler of a signal id (nullptr: the unknown-message path).
    using Handler = void (HTML5VideoPlugin::*)(CQuorMsg*);
    static Handler HandlerOf(unsigned long signal);
    void processUnknownMsg(CQuorMsg* msg);

    void processMplayerOpenResp(CQuorMsg* msg);
    void processMplayerOpenFail(CQuorMsg* msg);
    void processMplayerCloseResp(CQuorMsg* msg);
    void processMplayerCloseFail(CQuorMsg* msg);
    void processMplayerClosedInd(CQuorMsg* msg);
    void processMplayerPlayResp(CQuorMsg* msg);
    void processMplayerPlayFail(CQuorMsg* msg);
    void processMplayerPauseResp(CQuorMsg* msg);
    void processMplayerPauseFail(CQuorMsg* msg);
    void processMplayerStopResp(CQuorMsg* msg);
    void processMplayerStopFail(CQuorMsg* msg);
    void processMplayerStateChangedInd(CQuorMsg* msg);
    void processMplayerSeekableInd(CQuorMsg* msg);
    void processMplayerJumpOffResp(CQuorMsg* msg);
    void processMplayerJumpOffFail(CQuorMsg* msg);
    void processMplayerJumpAbsResp(CQuorMsg* msg);
    void processMplayerJumpAbsFail(CQuorMsg* msg);
    void processMplayerGetCurPosResp(CQuorMsg* msg);
    void processMplayerGetCurPosFail(CQuorMsg* msg);
    void processMplayerGetDurationResp(CQuorMsg* msg);
    void processMplayerGetDurationFail(CQuorMsg* msg);
    void processMplayerGetByteSizeResp(CQuorMsg* msg);
    void processMplayerGetByteSizeFail(CQuorMsg* msg);
    void processMplayerEosInd(CQuorMsg* msg);
    void processMplayerNewBaseTimeInd(CQuorMsg* msg);
    void processMplayerLoadingProgressInd(CQuorMsg* msg);
    void processMplayerNumStreamsInd(CQuorMsg* msg);
    void processMplayerMediaInfoInd(CQuorMsg* msg);
    void processMplayerVideoFormatInd(CQuorMsg* msg);
    void processMplayerSwitchVideoResp(CQuorMsg* msg);
    void processMplayerSwitchVideoFail(CQuorMsg* msg);
    void processMplayerSwitchAudioResp(CQuorMsg* msg);
    void processMplayerSwitchAudioFail(CQuorMsg* msg);
    void processMplayerSwitchSubtitleResp(CQuorMsg* msg);
    void processMplayerSwitchSubtitleFail(CQuorMsg* msg);
    void processMplayerSupportedPlaySpeedInd(CQuorMsg* msg);
    void processMplayerGetSupportedPlaySpeedResp(CQuorMsg* msg);
    void processMplayerGetSupportedPlaySpeedFail(CQuorMsg* msg);
    void processMplayerSetPlaySpeedResp(CQuorMsg* msg);
    void processMplayerSetPlaySpeedFail(CQuorMsg* msg);
    void processMplayerErrorInd(CQuorMsg* msg);

    // Watches, on the stack of a call into the browser, whether the browser
    // deleted this plugin meanwhile: a page script may remove the media
    // element from inside an event handler. Main thread only.
    class DeletionWatch {
    public:
        explicit DeletionWatch(HTML5VideoPlugin* plugin);
        ~DeletionWatch();
        DeletionWatch(DeletionWatch const&) = delete;
        DeletionWatch& operator=(DeletionWatch const&) = delete;
        bool PluginDeleted() const { return m_plugin == nullptr; }

    private:
        friend class HTML5VideoPlugin;
        HTML5VideoPlugin* m_plugin;
        DeletionWatch* m_next;
    };

    // Calls one notification of the browser. False when the browser deleted
    // the plugin during it: the caller must then return without touching it.
    bool notifyBrowser(void (VideoPlugin::BrowserInterface::*notification)());

    // Raises m_readyState as far as the streams and the player state allow;
    // false when the browser deleted the plugin while being told.
    bool updateReadyState();
    // The position extrapolated by delta seconds from m_currentTime: never
    // before it and, once the duration is known, never past the end.
    float extrapolatedPosition(double delta) const;
    // Sends a position request and notes when it went out.
    void requestPosition(timespec const& now);
    // Clears waiting when its request has gone unanswered for 5 s (or was
    // sent at a time the wall clock has since been set back past), so that
    // the caller asks again; logged under the caller's signature.
    static void forgetLostRequest(bool& waiting, timespec const& sentAt, timespec const& now,
                                  char const* signature, char const* request);
    // (Re)starts the one-shot timer that tells the browser the time changed.
    void startNextSecondTimer(int32_t msec);
    void callbackNextSecond();
    static int callbackNextSecond(void* data);
    // Destroys the source with this id on the default context if it is
    // live, saying so under the caller's signature.
    static void removeSource(unsigned sourceTag, char const* signature, char const* what);

    MediaPlayerInterface* m_mediaPlayer;
    VideoPlugin::BrowserInterface* m_browser;
    timer m_timer;
    int32_t m_networkState = VideoPlugin::NetworkEmpty;
    int32_t m_readyState = VideoPlugin::HaveNothing;
    int32_t m_preload = VideoPlugin::PreloadNone;
    bool m_preservesPitch = false;
    float m_rate = 1.0f;
    std::string m_url;
    std::string m_poster;
    int32_t m_mediaPlayerState = 0;
    bool m_ended = false;
    bool m_isSeeking = false;
    MediaInfo m_mediaInfo;
    uint8_t m_numVideoStreams = 0;
    uint8_t m_numAudioStreams = 0;
    uint8_t m_numSubtitleStreams = 0;
    bool m_seekable = true;
    VideoPlugin::Size m_size = {0, 0};
    float m_duration = 0;
    float m_currentTime = 0;
    timespec m_durationTimeStamp = {0, 0};
    timespec m_positionTimeStamp = {0, 0};
    bool m_waitingForDuration = false;
    bool m_waitingForPosition = false;
    std::deque<CQuorMsg*> m_messageQueue;
    pthread_mutex_t m_messageQueueMutex;
    unsigned m_sourceTagMessageQueue = 0;
    unsigned m_sourceTagNextSecond = 0;
    // When the outstanding requests went out (see forgetLostRequest).
    timespec m_positionRequestTimeStamp = {0, 0};
    timespec m_durationRequestTimeStamp = {0, 0};
    timespec m_seekRequestTimeStamp = {0, 0};
    // The moment whose position m_currentTime holds: m_positionTimeStamp,
    // or later once pause has folded the elapsed time into the position.
    timespec m_extrapolatedFrom = {0, 0};
    // The innermost watch of a call into the browser that is under way.
    DeletionWatch* m_deletionWatches = nullptr;
};
