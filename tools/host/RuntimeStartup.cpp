#include "tools/host/RuntimeStartup.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "runtime/CQuorMsgQueue.h"
#include "runtime/TimeOutServer.h"
#include "script/SILScriptCommands.h"
#include "shell/CQshell.h"

#define QUOR_HOST_START_EXPORT __attribute__((visibility("default")))

namespace {

// Whether the shell thread holds its socket; false once the thread gave up.
bool ShellServes() {
    auto const end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (qshell.GetSocketFd() == -1 && qshell.IsRunning() &&
           std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return qshell.GetSocketFd() != -1;
}

// Whether a live process answers on the shell's socket name.
bool AnotherProcessServes(std::string const& name) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/%s", QSHELL_SOCKET_DIR,
                  name.c_str());
    int const fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    bool const connected =
        connect(fd, reinterpret_cast<sockaddr const*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

} // namespace

extern "C" QUOR_HOST_START_EXPORT int QuorHostStartRuntime(T_HostRuntimeOptions const* options) {
    QuorTrace_Init(options->processName);
    if (options->traceOutput != nullptr) {
        // Queued lines reach the host's function through the printer thread.
        quorTrace.StopTracingToScreen();
        quorTrace.SetTraceModeDirectPrint(0);
        RegisterUserDefinedTraceOutputFunction(options->traceOutput);
    } else {
        quorTrace.StartTracingToScreen();
    }

    qshell.AddQshellInternalQshellCmds();
    if (options->socketName != nullptr) {
        qshell.Init(options->socketName);
    }
    qshell.StartThread("Qshell", 0, 0);
    bool const serving = ShellServes();
    if (!serving) {
        std::string const& name = qshell.GetSocketName();
        std::printf("%s: the debug shell \"%s\" is not served: %s; going on without it\n",
                    options->processName, name.c_str(),
                    AnotherProcessServes(name) ? "Second instance already running"
                                               : "its socket cannot be opened");
        std::fflush(stdout);
    }

    QSH_RegisterCommands(nullptr);
    TimeOutServer::instance().StartThread("TimeOutServer", 0, 0);
    quorTrace.CheckAndStartTracingToFile(options->suffix != nullptr ? options->suffix : "");
    return serving ? 1 : 0;
}

extern "C" QUOR_HOST_START_EXPORT void QuorHostStopRuntime() {
    QSH_AbortScriptRequest();
    quorTrace.StopTracingToFile();
    CThreadObject::StopAllThreads();
    CQuorMsgQueue::Terminate();
    // The printer has stopped: what still waits goes out here.
    while (quorTraceThread.IsSomethingToPrint()) {
        quorTraceThread.PrintNextTrace();
    }
    UnregisterUserDefinedTraceOutputFunction();
}
