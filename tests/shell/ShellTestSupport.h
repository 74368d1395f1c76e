#pragma once

// Helpers of the debug-shell suites: captured output, unique socket names,
// a private /tmp and a stand-in for the fixed client socket.

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/RuntimeTestSupport.h"
#include "shell/CQshell.h"
#include "support/TraceCapture.h"
#include "util/FileTestSupport.h"

namespace shell_test {

// What the shell prints (its plain output, no trace lines) while action runs.
template <typename Action> std::string OutputOf(Action&& action) {
    TraceCapture capture(TRACE_QSHELL, TRACELEVEL_NO_TRACE);
    action();
    return capture.Text();
}

// A server socket name that no other test process uses.
inline std::string UniqueServerName() {
    static int counter = 0;
    return "quor_test_shell_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

// As root, the test process gets a /tmp of its own, so that the fixed client
// socket never meets another run's; without root the CTest lock serialises.
inline void UsePrivateTmp() {
    if (geteuid() == 0 && testfs::EnterPrivateMountNamespace()) {
        ASSERT_EQ(mount("tmpfs", "/tmp", "tmpfs", 0, "size=16m"), 0);
    }
}

inline sockaddr_un TmpAddress(std::string const& name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "/tmp/%s", name.c_str());
    return address;
}

// A datagram socket, bound to /tmp/<name> unless name is empty.
inline int DatagramSocket(std::string const& name = "") {
    int const fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (!name.empty()) {
        sockaddr_un const address = TmpAddress(name);
        unlink(address.sun_path);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr const*>(&address), sizeof address), 0);
    }
    return fd;
}

inline void SendTo(int fd, std::string const& name, std::string const& bytes) {
    sockaddr_un const address = TmpAddress(name);
    ASSERT_EQ(sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr const*>(&address),
                     sizeof address),
              static_cast<ssize_t>(bytes.size()));
}

// The next datagram on fd (empty when none arrives within timeoutMs).
inline std::string Receive(int fd, int timeoutMs = 10000) {
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char buffer[2048];
    ssize_t const received = recv(fd, buffer, sizeof buffer, 0);
    return received > 0 ? std::string(buffer, static_cast<std::size_t>(received)) : "";
}

// A command line padded with NULs to a request.
inline std::string Request(std::string const& line, std::size_t size = QSHELL_REQUEST_SIZE) {
    std::string request(line);
    request.resize(size, '\0');
    return request;
}

using runtime_test::WaitFor;

// A shell serving its own name, and the test's end of the fixed client socket.
class ShellServerTest : public testing::Test {
protected:
    void SetUp() override { UsePrivateTmp(); }
    void TearDown() override {
        m_shell.reset();
        if (m_client >= 0) {
            close(m_client);
        }
        unlink(TmpAddress(QSHELL_CLIENT_NAME).sun_path);
        unlink(TmpAddress(m_name).sun_path);
    }
    // Starts the shell thread; false if its socket did not open.
    bool StartShell() {
        if (!m_shell) {
            m_shell = std::make_unique<CQshell>();
            m_shell->AddQshellInternalQshellCmds();
            m_shell->Init(m_name.c_str());
        }
        m_shell->StartThread("QshellTest", 0, 0);
        return WaitFor([&] { return m_shell->GetSocketFd() != -1 || !m_shell->IsRunning(); }) &&
               m_shell->GetSocketFd() != -1;
    }
    void BindClient() { m_client = DatagramSocket(QSHELL_CLIENT_NAME); }

    std::string m_name = UniqueServerName();
    std::unique_ptr<CQshell> m_shell;
    int m_client = -1;
};

} // namespace shell_test
