#include "platform/MediaPlayerInterface.h"

#include <algorithm>
#include <new>

#include "platform/SimulatedMediaPlayerService.h"

char const* MediaPlayerRequestName(MediaPlayerRequestKind kind) {
    static char const* const names[kMediaPlayerRequestKinds] = {"sendOpenReq",
                                                                "sendPlay",
                                                                "sendPause",
                                                                "sendClose",
                                                                "seekTo",
                                                                "sendGetCurPosReq",
                                                                "sendGetDurationReq",
                                                                "sendEnableSubtitleReq",
                                                                "sendDisableSubtitleReq"};
    auto index = static_cast<int>(kind);
    return index >= 0 && index < kMediaPlayerRequestKinds ? names[index] : "unknown";
}

MediaPlayerInterface* MediaPlayerInterface::GetInstance() {
    // Never destroyed: clients may still unregister while the process exits.
    static MediaPlayerInterface* instance = new MediaPlayerInterface;
    return instance;
}

int MediaPlayerInterface::Register(PluginBase* client, char const* name) {
    std::lock_guard<std::mutex> lock(m_clientsMutex);
    m_clients.push_back({client, name != nullptr ? name : ""});
    return 0;
}

int MediaPlayerInterface::Unregister(PluginBase* client) {
    std::lock_guard<std::mutex> lock(m_clientsMutex);
    auto found = std::find_if(m_clients.begin(), m_clients.end(),
                              [client](Client const& c) { return c.client == client; });
    if (found == m_clients.end()) {
        return -1;
    }
    m_clients.erase(found);
    return 0;
}

bool MediaPlayerInterface::Forward(MediaPlayerRequest const& request) {
    MediaPlayerService* service = m_service.load(std::memory_order_acquire);
    if (service == nullptr) {
        service = &SimulatedMediaPlayerService::Default();
    }
    return service->HandleRequest(request);
}

bool MediaPlayerInterface::sendOpenReq(MediaPlayerOpenReq const& open) {
    MediaPlayerRequest request;
    request.kind = MediaPlayerRequestKind::Open;
    request.url = open.url != nullptr ? open.url : "";
    request.open = open;
    request.open.url = nullptr;
    return Forward(request);
}

namespace {
MediaPlayerRequest Plain(MediaPlayerRequestKind kind) {
    MediaPlayerRequest request;
    request.kind = kind;
    return request;
}
} // namespace

bool MediaPlayerInterface::sendPlay() {
    return Forward(Plain(MediaPlayerRequestKind::Play));
}
bool MediaPlayerInterface::sendPause() {
    return Forward(Plain(MediaPlayerRequestKind::Pause));
}
bool MediaPlayerInterface::sendClose() {
    return Forward(Plain(MediaPlayerRequestKind::Close));
}

bool MediaPlayerInterface::seekTo(int seconds) {
    MediaPlayerRequest request = Plain(MediaPlayerRequestKind::SeekTo);
    request.seconds = seconds;
    return Forward(request);
}

bool MediaPlayerInterface::sendGetCurPosReq() {
    return Forward(Plain(MediaPlayerRequestKind::GetCurPos));
}
bool MediaPlayerInterface::sendGetDurationReq() {
    return Forward(Plain(MediaPlayerRequestKind::GetDuration));
}
bool MediaPlayerInterface::sendEnableSubtitleReq() {
    return Forward(Plain(MediaPlayerRequestKind::EnableSubtitle));
}
bool MediaPlayerInterface::sendDisableSubtitleReq() {
    return Forward(Plain(MediaPlayerRequestKind::DisableSubtitle));
}

void MediaPlayerInterface::SetService(MediaPlayerService* service) {
    m_service.store(service, std::memory_order_release);
}

bool MediaPlayerInterface::Deliver(CQuorMsg& msg) {
    bool delivered = false;
    {
        std::lock_guard<std::mutex> lock(m_clientsMutex);
        if (!m_clients.empty()) {
            m_clients.back().client->ProcessQuorMsg(&msg);
            delivered = true;
        }
    }
    ReleaseMessagePayload(msg);
    return delivered;
}

std::vector<std::string> MediaPlayerInterface::RegisteredNames() const {
    std::lock_guard<std::mutex> lock(m_clientsMutex);
    std::vector<std::string> names;
    for (auto const& client : m_clients) {
        names.push_back(client.name);
    }
    return names;
}

int openCommunicationChannel() {
    return 0;
}

void ReleaseMessagePayload(CQuorMsg& msg) {
    if (msg.m_signalPtr != nullptr) {
        ::operator delete(msg.m_signalPtr);
        msg.m_signalPtr = nullptr;
    }
    delete msg.m_objPtr;
    msg.m_objPtr = nullptr;
}
