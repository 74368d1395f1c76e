#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/MediaPlayerMessages.h"
#include "platform/MediaPlayerService.h"
#include "platform/ServiceThread.h"
#include "util/QuorExport.h"

// A media player service for tests: records every request and delivers the
// messages a test posts, in order, from a delivery thread of its own.
class QUOR_EXPORT ScriptedMediaPlayerService : public MediaPlayerService {
public:
    ScriptedMediaPlayerService() = default;
    ~ScriptedMediaPlayerService() override = default;

    bool HandleRequest(MediaPlayerRequest const& request) override;

    // What the client operations return from now on (true at first).
    void SetRequestResult(bool result);
    // Called on the client's thread after each request is recorded.
    void SetRequestHook(std::function<void(MediaPlayerRequest const&)> hook);

    std::vector<MediaPlayerRequest> Requests() const;
    int Count(MediaPlayerRequestKind kind) const;
    void ClearRequests();

    // Delivers msg on the delivery thread after everything posted before; the
    // message and its payload are released after the delivery.
    void Post(MediaPlayerMessages::MessagePtr msg);
    void Post(unsigned long signal, long userData = 0);
    // Returns when every message posted so far has been delivered.
    void WaitUntilDelivered() { m_thread.WaitIdle(); }
    // Messages that reached a registered client.
    int DeliveredCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<MediaPlayerRequest> m_requests;
    std::function<void(MediaPlayerRequest const&)> m_hook;
    bool m_result = true;
    int m_delivered = 0;
    ServiceThread m_thread; // last: stopped before the members above go
};
