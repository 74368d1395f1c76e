// The shell's socket thread: requests in, command lines executed,
// acknowledgements out. The wire format is in QshellWire.h.
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "debug/QuorTrace.h"
#include "shell/CQshell.h"
#include "shell/SocketComm.h"

namespace {

char clientName[] = QSHELL_CLIENT_NAME;

// The shell thread runs with cancellation disabled, so that stopping it never
// leaves a command half done with its locks held; it may be cancelled only
// inside these sections, which hold no lock.
class CancellationAllowed {
public:
    CancellationAllowed() { pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &m_previous); }
    ~CancellationAllowed() { pthread_setcancelstate(m_previous, nullptr); }
    CancellationAllowed(CancellationAllowed const&) = delete;
    CancellationAllowed& operator=(CancellationAllowed const&) = delete;

private:
    int m_previous = PTHREAD_CANCEL_ENABLE;
};

} // namespace

int CQshell::Init(char const* socketName) {
    if (socketName == nullptr) {
        return 0;
    }
    m_socketName = socketName;
    TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_INFO,
                         "CQshell:: Socketname for qshell = %s\n", m_socketName.c_str());
    return 0;
}

int CQshell::QshellOpenSocket() {
    TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_DEBUG,
                         "CQshell::QshellOpenSocket() called\n");
    // Opening again replaces the socket rather than finding it in use.
    CloseSocket();
    std::string name = m_socketName;
    int const fd = SocketComm_Start(&name[0], MSG_DONTWAIT);
    if (fd > 0) {
        m_socketFd.store(fd, std::memory_order_release);
        TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_INFO,
                             "CQshell::QshellOpenSocket() - SocketFd = %d, SocketName = %s\n", fd,
                             m_socketName.c_str());
        return 0;
    }
    TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_ERROR,
                         "CQshell::QshellOpenSocket() FAILED - SocketFd = %d, SocketName = %s\n",
                         fd, m_socketName.c_str());
    return QSHELL_ERR_SOCKET;
}

void CQshell::CloseSocket() {
    int const fd = m_socketFd.exchange(-1, std::memory_order_acq_rel);
    if (fd >= 0) {
        close(fd);
    }
}

int CQshell::QshellReadFromSocket() {
    TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_DEBUG,
                         "CQshell::QshellReadFromSocket() called\n");
    m_receiveBuffer[0] = '\0';
    int received;
    {
        CancellationAllowed const allowed;
        received = SocketComm_Recv(GetSocketFd(), m_receiveBuffer, QSHELL_REQUEST_SIZE, 0, -1);
    }
    return AcceptRequest(received);
}

int CQshell::AcceptRequest(int received) {
    if (received == static_cast<int>(QSHELL_REQUEST_SIZE)) {
        return 0;
    }
    TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_DEBUG,
                         "CQshell::QshellReadFromSocket() - FAILED\n");
    return QSHELL_ERR_SOCKET;
}

void CQshell::ServeRequest() {
    AcknowledgeToSocket(ProcessQshellCmd(m_receiveBuffer), "CQshell::RealThreadFunction()");
}

int CQshell::HandleQshellDatagram(void const* datagram, std::size_t length) {
    // What a receive of at most one request's size leaves in the buffer.
    std::size_t const received = std::min<std::size_t>(length, QSHELL_REQUEST_SIZE);
    m_receiveBuffer[0] = '\0';
    if (received > 0) {
        std::memcpy(m_receiveBuffer, datagram, received);
    }
    if (AcceptRequest(static_cast<int>(received)) != 0) {
        return QSHELL_ERR_SOCKET;
    }
    ServeRequest();
    return 0;
}

int CQshell::SendToClient(char const* answer, unsigned length, char const* failureText) {
    int sent;
    {
        CancellationAllowed const allowed;
        sent = SocketComm_Sendto(GetSocketFd(), answer, length, clientName, -1);
    }
    if (sent == -1) {
        TraceFormattedString(TRACE_QSHELL, TRACELEVEL_DEBUG, "%s, SocketName = %s\n", failureText,
                             clientName);
        return QSHELL_ERR_SOCKET;
    }
    return 0;
}

void CQshell::AcknowledgeToSocket(int result, char const* caller) {
    int const sent = result == 0 ? SendQshellCmdAckToSocket() : SendQshellCmdNackToSocket();
    if (sent < 0) {
        TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_WARNING,
                             "%s - Sending Ack/Nack failed\n", caller);
    } else {
        TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_DEBUG,
                             "%s - Sending Ack/Nack successful\n", caller);
    }
}

int CQshell::SendQshellCmdAckToSocket() {
    return SendToClient(QSHELL_ACK, sizeof QSHELL_ACK,
                        "CQshell::SendQshellCmdAckToSocket() - FAILED");
}

int CQshell::SendQshellCmdNackToSocket() {
    return SendToClient(QSHELL_NACK, sizeof QSHELL_NACK,
                        "CQshell::SendQshellCmdNackToSocket() - FAILED");
}

void CQshell::ThreadWorkFunction() {
    TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_DEBUG,
                         "CQshell::RealThreadFunction() called\n");
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
    if (QshellOpenSocket() != 0) {
        TraceFormattedString(TRACE_QSHELL_SOCKET, TRACELEVEL_WARNING,
                             "CQshell::QshellOpenSocket() failed\n");
        return;
    }
    // Closes the socket when the thread ends, also by cancellation.
    struct SocketCloser {
        CQshell& shell;
        ~SocketCloser() { shell.CloseSocket(); }
    } const closer{*this};
    while (!StopRequested()) {
        if (QshellReadFromSocket() != 0) {
            continue;
        }
        ServeRequest();
    }
}
