#include "platform/ScriptedMediaPlayerService.h"

#include "platform/MediaPlayerInterface.h"

bool ScriptedMediaPlayerService::HandleRequest(MediaPlayerRequest const& request) {
    std::function<void(MediaPlayerRequest const&)> hook;
    bool result;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
        hook = m_hook;
        result = m_result;
    }
    if (hook) {
        hook(request);
    }
    return result;
}

void ScriptedMediaPlayerService::SetRequestResult(bool result) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_result = result;
}

void ScriptedMediaPlayerService::SetRequestHook(
    std::function<void(MediaPlayerRequest const&)> hook) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hook = std::move(hook);
}

std::vector<MediaPlayerRequest> ScriptedMediaPlayerService::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int ScriptedMediaPlayerService::Count(MediaPlayerRequestKind kind) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (auto const& request : m_requests) {
        count += request.kind == kind ? 1 : 0;
    }
    return count;
}

void ScriptedMediaPlayerService::ClearRequests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

void ScriptedMediaPlayerService::Post(MediaPlayerMessages::MessagePtr msg) {
    m_thread.Post([this, msg] {
        if (MediaPlayerInterface::GetInstance()->Deliver(*msg)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_delivered;
        }
    });
}

void ScriptedMediaPlayerService::Post(unsigned long signal, long userData) {
    Post(MediaPlayerMessages::Make(signal, userData));
}

int ScriptedMediaPlayerService::DeliveredCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_delivered;
}
