#pragma once

// Helpers of the debug-shell suites: captured output, a shell serving its own
// name, a private /tmp and the library's socket functions as a client.

#include <sys/mount.h>
#include <unistd.h>

#include "runtime/RuntimeTestSupport.h"
#include "shell/CQshell.h"
#include "shell/SocketComm.h"
#include "support/TraceCapture.h"
#include "util/FileTestSupport.h"

namespace shell_test {

// What the shell prints (its plain output, no trace lines) while action runs.
template <typename Action> std::string OutputOf(Action&& action) {
    TraceCapture capture(TRACE_QSHELL, TRACELEVEL_NO_TRACE);
    action();
    return capture.Text();
}

// As root, the test process gets a /tmp of its own, so that the fixed client
// socket never meets another run's; without root the CTest lock serialises.
// A build under /tmp keeps the real one: the new /tmp would hide quor-shell.
inline void UsePrivateTmp() {
    char self[4096] = {};
    bool const builtUnderTmp = readlink("/proc/self/exe", self, sizeof self - 1) > 0 &&
                               std::string(self).rfind("/tmp/", 0) == 0;
    if (geteuid() == 0 && !builtUnderTmp && testfs::EnterPrivateMountNamespace()) {
        ASSERT_EQ(mount("tmpfs", "/tmp", "tmpfs", 0, "size=16m"), 0);
    }
}

// The library's own socket functions stand in for a client.
inline int BoundSocket(std::string name) {
    return SocketComm_Start(&name[0], 0);
}

inline void SendTo(int fd, std::string name, std::string const& bytes) {
    EXPECT_EQ(
        SocketComm_Sendto(fd, bytes.data(), static_cast<unsigned>(bytes.size()), &name[0], 10000),
        static_cast<int>(bytes.size()));
}

// The next datagram on fd (empty when none arrives within timeoutMs).
inline std::string Receive(int fd, int timeoutMs = 10000) {
    char buffer[2048];
    int const received =
        SocketComm_Recvfrom(fd, buffer, sizeof buffer, 0, nullptr, nullptr, timeoutMs);
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
        SocketComm_Unlink(const_cast<char*>(QSHELL_CLIENT_NAME));
        SocketComm_Unlink(&m_name[0]);
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
    void BindClient() { m_client = BoundSocket(QSHELL_CLIENT_NAME); }

    std::string m_name = runtime_test::UniqueQueueName("shell").substr(1); // no "/"
    std::unique_ptr<CQshell> m_shell;
    int m_client = -1;
};

} // namespace shell_test
