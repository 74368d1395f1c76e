// Links the runtime through pkg-config and sends one message with a payload
// through a POSIX queue to itself.
//   c++ -std=c++17 queue_roundtrip.cpp $(pkg-config --cflags --libs quor)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "runtime/CQuorMsg.h"
#include "runtime/CQuorMsgQueue.h"

int main() {
    std::string const name = "/quor_example_" + std::to_string(getpid());
    CQuorMsgQueue queue;
    if (queue.Open(name.c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0600, 4, true) != 0) {
        std::fprintf(stderr, "cannot open the queue %s\n", name.c_str());
        return 1;
    }
    CQuorMsg sent(SIG_ID_STOP_THREAD);
    sent.m_signalPtr = ::operator new(6);
    std::memcpy(sent.m_signalPtr, "hello", 6);
    sent.m_signalSize = 6;
    if (sent.SendMsg(&queue, 0) != 0) {
        return 1;
    }
    CQuorMsg received;
    if (received.ReceiveMsg(&queue, 0) != 0 || received.m_signalName != SIG_ID_STOP_THREAD) {
        return 1;
    }
    std::printf("%s arrived with \"%s\"\n", GetSignalIdNamePtr(SIG_ID_STOP_THREAD),
                static_cast<char const*>(received.m_signalPtr));
    received.FreeSignal();
    return 0;
}
