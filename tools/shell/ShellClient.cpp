#include "tools/shell/ShellClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "shell/QshellWire.h"
#include "shell/SocketComm.h"

namespace {

char clientName[] = QSHELL_CLIENT_NAME;

} // namespace

ShellClient::ShellClient(std::string serverName, int timeoutSeconds)
    : m_serverName(std::move(serverName)), m_timeoutMs(timeoutSeconds * 1000) {}

ShellClient::~ShellClient() {
    if (m_fd >= 0) {
        close(m_fd);
        SocketComm_Unlink(clientName);
    }
}

std::string ShellClient::ServerPath() const {
    return QSHELL_SOCKET_DIR "/" + m_serverName;
}

std::string ShellClient::ClientPath() {
    return QSHELL_SOCKET_DIR "/" QSHELL_CLIENT_NAME;
}

std::string ShellClient::Open() {
    // The same test the shell makes for its own name: a bound name that
    // accepts a connection belongs to a running client.
    int const fd = SocketComm_Start(clientName, 0);
    if (fd == -3) {
        return "another client already holds " + ClientPath();
    }
    if (fd < 0) {
        return "cannot bind " + ClientPath() + ": " + std::strerror(errno);
    }
    m_fd = fd;
    return {};
}

// Answers that came after their request timed out must not answer the next one.
void ShellClient::DropStaleAnswers() {
    char answer[16];
    while (recv(m_fd, answer, sizeof answer, MSG_DONTWAIT) >= 0) {
    }
}

ShellClient::Answer ShellClient::Send(std::string const& line) {
    char request[QSHELL_REQUEST_SIZE] = {};
    std::memcpy(request, line.data(), std::min<std::size_t>(line.size(), QSHELL_MAX_LINE_LENGTH));
    DropStaleAnswers();
    std::string server = m_serverName;
    if (SocketComm_Sendto(m_fd, request, sizeof request, &server[0], m_timeoutMs) < 0) {
        int const error = errno;
        if (error == ENOENT || error == ECONNREFUSED) {
            return Answer::NoServer;
        }
        if (error == EAGAIN) {
            return Answer::NoAnswer; // its queue stayed full
        }
        m_failure = std::strerror(error);
        return Answer::Failed;
    }
    return AwaitAnswer();
}

ShellClient::Answer ShellClient::AwaitAnswer() {
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMs);
    for (;;) {
        auto const left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd waitFor{m_fd, POLLIN, 0};
        if (left <= 0 || poll(&waitFor, 1, static_cast<int>(left)) == 0) {
            return Answer::NoAnswer;
        }
        char answer[16];
        auto const received = recv(m_fd, answer, sizeof answer, MSG_DONTWAIT);
        if (received == sizeof QSHELL_ACK && std::memcmp(answer, QSHELL_ACK, received) == 0) {
            return Answer::Ok;
        }
        if (received == sizeof QSHELL_NACK && std::memcmp(answer, QSHELL_NACK, received) == 0) {
            return Answer::Err;
        }
        // Anything else (a stray datagram, EINTR) is not our answer.
    }
}
