// A process with a cross-CPU source, started by the transport tests:
//   rpc_source_process SEGMENT TARGET FIRST COUNT SEED send|wait|die-holding-lock
// sends the test messages FIRST to FIRST + COUNT - 1 to the destination
// TARGET, then exits (send) or waits to be killed (wait). die-holding-lock
// takes the shared memory's lock and dies holding it.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "RpcTestSupport.h"
#include "runtime/CQuorRpcMsgSrcPosix.h"

int main(int argc, char** argv) {
    if (argc != 7 || CPUCommStandInSetSegment(argv[1], 1 << 20) != 0) {
        return 2;
    }
    std::string const mode = argv[6];
    if (mode == "die-holding-lock") {
        CPUCommStandInHoldLock();
        raise(SIGKILL);
    }
    int const first = std::atoi(argv[3]);
    int const count = std::atoi(argv[4]);
    auto const seed = static_cast<unsigned>(std::atoi(argv[5]));
    CQuorRpcMsgSrcPosix source;
    std::string const input = "/quor_test_rpc_source_" + std::to_string(getpid()) + "_";
    if (source.Init(input.c_str(), 50, CPU_ID_MAIN, argv[2]) != 0 ||
        source.StartThread("RpcSource", 0, 0) != 0) {
        return 3;
    }
    for (int sent = 0; sent < count; ++sent) {
        // Never more than the input queue holds: a full queue would refuse.
        while (static_cast<int>(source.GetNrOfProcessedMsgs()) + 40 <= sent) {
            usleep(200);
        }
        CQuorMsg msg = rpc_test::TestMessage(seed, first + sent);
        if (source.SendCmd(&msg) != 0) {
            return 4;
        }
    }
    while (static_cast<int>(source.GetNrOfProcessedMsgs()) < count) {
        usleep(1000);
    }
    if (mode == "wait") {
        pause();
    }
    return 0;
}
