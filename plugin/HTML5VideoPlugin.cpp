#include "plugin/HTML5VideoPlugin.h"

#include <glib.h>

#include "plugin/PluginLog.h"
#include "runtime/SignalIds.h"

namespace {
char const kServiceName[] = "html5-video-plugin";
}

HTML5VideoPlugin::HTML5VideoPlugin(VideoPlugin::BrowserInterface* browser)
    : m_mediaPlayer(MediaPlayerInterface::GetInstance()), m_browser(browser) {
    PLUGIN_LOG << "this=" << static_cast<void*>(this);
    pthread_mutex_init(&m_messageQueueMutex, nullptr);
    m_mediaPlayer->Register(static_cast<PluginBase*>(this), kServiceName);
    // From here on the service may deliver.
    openCommunicationChannel();
}

HTML5VideoPlugin::~HTML5VideoPlugin() {
    PLUGIN_LOG << "this=" << static_cast<void*>(this);
    // Deleted from inside a notification: the calls under way must not come back to us.
    for (DeletionWatch* watch = m_deletionWatches; watch != nullptr; watch = watch->m_next) {
        watch->m_plugin = nullptr;
    }
    if (!m_url.empty()) {
        m_mediaPlayer->sendClose();
    }
    m_mediaPlayer->Unregister(static_cast<PluginBase*>(this));
    // No delivery runs any more: the queue is ours alone.
    for (CQuorMsg* msg : m_messageQueue) {
        msg->FreeSignal();
        delete msg;
    }
    m_messageQueue.clear();
    pthread_mutex_destroy(&m_messageQueueMutex);
    removeSource(m_sourceTagMessageQueue, __PRETTY_FUNCTION__, "removing m_sourceTagMessageQueue");
    removeSource(m_sourceTagNextSecond, __PRETTY_FUNCTION__, "removing m_sourceTagNextSecond");
}

HTML5VideoPlugin::DeletionWatch::DeletionWatch(HTML5VideoPlugin* plugin)
    : m_plugin(plugin), m_next(plugin->m_deletionWatches) {
    plugin->m_deletionWatches = this;
}

HTML5VideoPlugin::DeletionWatch::~DeletionWatch() {
    // Watches live on the main thread's stack: the innermost goes first.
    if (m_plugin != nullptr) {
        m_plugin->m_deletionWatches = m_next;
    }
}

bool HTML5VideoPlugin::notifyBrowser(void (VideoPlugin::BrowserInterface::*notification)()) {
    DeletionWatch watch(this);
    (m_browser->*notification)();
    return !watch.PluginDeleted();
}

void HTML5VideoPlugin::removeSource(unsigned sourceTag, char const* signature, char const* what) {
    if (sourceTag == 0) {
        return;
    }
    GSource* source = g_main_context_find_source_by_id(nullptr, sourceTag);
    if (source != nullptr) {
        PLUGIN_LOG_AS(LOG_INFO, signature) << what;
        g_source_destroy(source);
    }
}

void HTML5VideoPlugin::ProcessQuorMsg(CQuorMsg* msg) {
    PLUGIN_LOG;
    pthread_mutex_lock(&m_messageQueueMutex);
    m_messageQueue.push_back(new CQuorMsg(*msg));
    // One pending wake-up serves every queued message. The source found here
    // may already be dispatching (glib chose it before we took the mutex);
    // destroying it then leaves its running drain alone.
    removeSource(m_sourceTagMessageQueue, __PRETTY_FUNCTION__, "removing m_sourceTagMessageQueue");
    m_sourceTagMessageQueue = g_timeout_add(0, &HTML5VideoPlugin::ProcessQuorMsg, this);
    msg->FreeSignal();
    pthread_mutex_unlock(&m_messageQueueMutex);
    PLUGIN_LOG << "end";
}

int HTML5VideoPlugin::ProcessQuorMsg(void* data) {
    auto* plugin = static_cast<HTML5VideoPlugin*>(data);
    // A delivery may have replaced this source between glib's choice to
    // dispatch it and now: the pending id is then the new source's and must
    // stay, so that the destructor can still remove that source.
    guint const running = g_source_get_id(g_main_current_source());
    pthread_mutex_lock(&plugin->m_messageQueueMutex);
    if (plugin->m_sourceTagMessageQueue == running) {
        plugin->m_sourceTagMessageQueue = 0;
    }
    pthread_mutex_unlock(&plugin->m_messageQueueMutex);
    plugin->ProcessQuorMsg();
    return FALSE;
}

void HTML5VideoPlugin::ProcessQuorMsg() {
    PLUGIN_LOG << "this=" << static_cast<void*>(this);
    for (;;) {
        pthread_mutex_lock(&m_messageQueueMutex);
        if (m_messageQueue.empty()) {
            pthread_mutex_unlock(&m_messageQueueMutex);
            break;
        }
        CQuorMsg* msg = m_messageQueue.front();
        m_messageQueue.pop_front();
        pthread_mutex_unlock(&m_messageQueueMutex);

        PLUGIN_LOG << msg->m_signalName << "/"
                   << GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName));
        Handler handler = HandlerOf(msg->m_signalName);
        DeletionWatch watch(this);
        if (handler != nullptr) {
            (this->*handler)(msg);
        } else {
            processUnknownMsg(msg);
        }
        msg->FreeSignal();
        delete msg;
        if (watch.PluginDeleted()) {
            return; // the destructor has released the rest of the queue
        }
    }
    PLUGIN_LOG << "end";
}

void HTML5VideoPlugin::processUnknownMsg(CQuorMsg* msg) {
    // Logged under the drain's signature, at warning priority.
    PLUGIN_LOG_AS(LOG_WARNING, "void HTML5VideoPlugin::ProcessQuorMsg()")
        << "Unknown msg received!: "
        << GetSignalIdNamePtr(static_cast<SignalIds>(msg->m_signalName))
        << ", Resp-Info1 = " << msg->m_responseInfo;
}
