// The debug shell's costs: one request's round trip through the socket
// (client send, shell thread, q_echo, acknowledgement received) next to a
// raw AF_UNIX datagram ping-pong between two threads, and one command line
// through ProcessQshellCmd with its output discarded.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "shell/CQshell.h"

namespace {

sockaddr_un TmpAddress(std::string const& name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/%s", QSHELL_SOCKET_DIR,
                  name.c_str());
    return address;
}

// A blocking datagram socket bound to /tmp/<name>.
int BoundSocket(std::string const& name) {
    int const fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un const address = TmpAddress(name);
    unlink(address.sun_path);
    if (bind(fd, reinterpret_cast<sockaddr const*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void SendTo(int fd, void const* data, std::size_t size, std::string const& name) {
    sockaddr_un const address = TmpAddress(name);
    sendto(fd, data, size, 0, reinterpret_cast<sockaddr const*>(&address), sizeof address);
}

std::string BenchName(char const* what) {
    return std::string("quor_bench_") + what + "_" + std::to_string(getpid());
}

// The client's side of both round trips: one request out, one answer in.
void RoundTrips(benchmark::State& state, int client, std::string const& server) {
    char request[QSHELL_REQUEST_SIZE] = "q_echo a b c";
    char answer[16];
    for (auto _ : state) {
        SendTo(client, request, sizeof request, server);
        if (recv(client, answer, sizeof answer, 0) <= 0) {
            state.SkipWithError("no answer");
            break;
        }
    }
}

void BM_ShellSocketRoundTrip(benchmark::State& state) {
    std::string const server = BenchName("shell");
    CQshell shell;
    shell.AddQshellInternalQshellCmds();
    shell.Init(server.c_str());
    shell.StartThread("BenchQshell", 0, 0);
    while (shell.GetSocketFd() == -1 && shell.IsRunning()) {
        usleep(1000);
    }
    int const client = BoundSocket(QSHELL_CLIENT_NAME);
    if (shell.GetSocketFd() == -1 || client < 0) {
        state.SkipWithError("sockets not bound");
    } else {
        RoundTrips(state, client, server);
    }
    shell.StopThreadAndWait();
    close(client);
    unlink(TmpAddress(server).sun_path);
}
BENCHMARK(BM_ShellSocketRoundTrip)->UseRealTime();

void BM_RawDatagramPingPong(benchmark::State& state) {
    std::string const server = BenchName("raw");
    int const serverFd = BoundSocket(server);
    int const client = BoundSocket(QSHELL_CLIENT_NAME);
    if (serverFd < 0 || client < 0) {
        state.SkipWithError("sockets not bound");
        return;
    }
    std::thread echo([serverFd] {
        char request[QSHELL_REQUEST_SIZE];
        // A request shorter than a whole one ends the thread.
        while (recv(serverFd, request, sizeof request, 0) == sizeof request) {
            SendTo(serverFd, QSHELL_ACK, sizeof QSHELL_ACK, QSHELL_CLIENT_NAME);
        }
    });
    RoundTrips(state, client, server);
    SendTo(client, "", 1, server);
    echo.join();
    close(client);
    close(serverFd);
    unlink(TmpAddress(server).sun_path);
}
BENCHMARK(BM_RawDatagramPingPong)->UseRealTime();

void BM_ProcessQshellCmdEcho(benchmark::State& state) {
    qshell.AddQshellInternalQshellCmds();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qshell.ProcessQshellCmd("q_echo a b c"));
    }
    qshell.RemoveQshellEntrys();
}
BENCHMARK(BM_ProcessQshellCmdEcho);

} // namespace

int main(int argc, char** argv) {
    // As root, a /tmp of its own: the fixed client socket never meets a test run's.
    if (geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0) {
        mount("tmpfs", "/tmp", "tmpfs", 0, "size=4m");
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
