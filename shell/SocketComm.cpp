#include "shell/SocketComm.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "shell/QshellWire.h"

namespace {

constexpr int defaultSendTimeoutMs = 300000;
constexpr int defaultRecvfromTimeoutMs = 1800000;
constexpr int retryPeriodMs = 10;

// Written by SocketComm_Start, read by every SocketComm_Sendto.
std::atomic<int> storedSendFlags{0};

sockaddr_un SocketAddress(char const* name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/%s", QSHELL_SOCKET_DIR,
                  name != nullptr ? name : "");
    return address;
}

sockaddr const* AsSockaddr(sockaddr_un const& address) {
    return reinterpret_cast<sockaddr const*>(&address);
}

// A descriptor of 0 would read as a failure; moves it above 0.
int AboveZero(int fd) {
    if (fd != 0) {
        return fd;
    }
    int const moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
    close(fd);
    return moved;
}

int Refuse(int fd, char const* message, int result) {
    syslog(LOG_ERR, "%s", message);
    close(fd);
    return result;
}

} // namespace

int SocketComm_Start(char* name, int sendFlags) {
    // Close-on-exec: a spawned child must not keep the name bound after we end.
    int const fd = AboveZero(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd < 0) {
        syslog(LOG_ERR, "Low level socket error");
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockaddr_un const address = SocketAddress(name);
    if (bind(fd, AsSockaddr(address), sizeof address) != 0) {
        // Bound by a live process, or a file left by one that ended.
        if (connect(fd, AsSockaddr(address), sizeof address) == 0) {
            return Refuse(fd, "Second instance already running", -3);
        }
        if (unlink(address.sun_path) != 0) {
            return Refuse(fd, "Error removing old socket", -4);
        }
        if (bind(fd, AsSockaddr(address), sizeof address) != 0) {
            return Refuse(fd, "Error binding socket", -2);
        }
    }
    storedSendFlags.store(sendFlags, std::memory_order_relaxed);
    return fd;
}

void SocketComm_Unlink(char* name) {
    unlink(SocketAddress(name).sun_path);
}

int SocketComm_Sendto(int fd, void const* data, unsigned length, char* name, int timeoutMs) {
    int remainingMs = timeoutMs == -1 ? defaultSendTimeoutMs : timeoutMs;
    sockaddr_un const address = SocketAddress(name);
    int const flags = storedSendFlags.load(std::memory_order_relaxed);
    for (;;) {
        auto const sent = sendto(fd, data, length, flags, AsSockaddr(address), sizeof address);
        if (sent != -1) {
            return static_cast<int>(sent);
        }
        // Only a full receiver is waited for; a missing one fails at once.
        if (errno != EAGAIN || remainingMs <= 0) {
            return -1;
        }
        remainingMs -= retryPeriodMs;
        Delay(retryPeriodMs);
    }
}

int SocketComm_Recv(int fd, void* buffer, unsigned length, int flags, int /*timeoutMs*/) {
    // poll rather than select: descriptors beyond FD_SETSIZE must not overflow a set.
    pollfd waitFor{fd, POLLIN, 0};
    int const ready = poll(&waitFor, 1, -1);
    if (ready < 0) {
        syslog(LOG_ERR, "SocketComm_Recv - select failed - rc_select: %d errno=%d\n", ready, errno);
        return -1;
    }
    if (ready == 0 || (waitFor.revents & POLLIN) == 0) {
        syslog(LOG_ERR, "SocketComm_Recv - select, but not our socket - rc_select: %d errno=%d\n",
               ready, errno);
        return -1;
    }
    return static_cast<int>(recv(fd, buffer, length, flags));
}

int SocketComm_Recvfrom(int fd, void* buffer, unsigned length, int flags, sockaddr* from,
                        unsigned* fromLength, int timeoutMs) {
    int remainingMs = timeoutMs == -1 ? defaultRecvfromTimeoutMs : timeoutMs;
    auto received = recvfrom(fd, buffer, length, flags, from, fromLength);
    while (received == -1 && remainingMs >= 1) {
        remainingMs -= retryPeriodMs;
        Delay(retryPeriodMs);
        received = recvfrom(fd, buffer, length, flags, from, fromLength);
    }
    return static_cast<int>(received);
}

int Delay(int milliseconds) {
    if (milliseconds <= 0) {
        return 0;
    }
    timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
    return 0;
}
