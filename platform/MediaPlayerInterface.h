#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MediaPlayerService.h"
#include "platform/MediaPlayerTypes.h"
#include "platform/PluginBase.h"
#include "runtime/CQuorMsg.h"
#include "util/QuorExport.h"

// Client of the media player service (stand-in). A registered client receives
// every response and indication through PluginBase::ProcessQuorMsg on the
// service's thread. Requests go to the installed MediaPlayerService; without
// one, to the simulated player.
//
// Several clients may be registered; messages go to the one registered last,
// as the television has one player.
class QUOR_EXPORT MediaPlayerInterface {
public:
    static MediaPlayerInterface* GetInstance();

    int Register(PluginBase* client, char const* name);
    // Ends delivery to client: when it returns, no delivery to it is running
    // and none will start.
    int Unregister(PluginBase* client);

    bool sendOpenReq(MediaPlayerOpenReq const& request);
    bool sendPlay();
    bool sendPause();
    bool sendClose();
    bool seekTo(int seconds);
    bool sendGetCurPosReq();
    bool sendGetDurationReq();
    bool sendEnableSubtitleReq();
    bool sendDisableSubtitleReq();

    // Stand-in only: the service behind the requests (nullptr: the simulated
    // player). The service must outlive its installation.
    void SetService(MediaPlayerService* service);

    // Stand-in only, for services: hands msg to the current client and then
    // releases what payload and object the message still holds. False when
    // no client is registered.
    bool Deliver(CQuorMsg& msg);

    // Stand-in only: the names of the registered clients, oldest first.
    std::vector<std::string> RegisteredNames() const;

private:
    MediaPlayerInterface() = default;
    bool Forward(MediaPlayerRequest const& request);

    struct Client {
        PluginBase* client;
        std::string name;
    };
    mutable std::mutex m_clientsMutex; // held during a delivery
    std::vector<Client> m_clients;
    std::atomic<MediaPlayerService*> m_service{nullptr};
};

// Opens the channel to the service process; the stand-in has nothing to open.
QUOR_EXPORT int openCommunicationChannel();

// Releases the payload block and signal object a message still holds, the
// way the message's owner must.
QUOR_EXPORT void ReleaseMessagePayload(CQuorMsg& msg);
