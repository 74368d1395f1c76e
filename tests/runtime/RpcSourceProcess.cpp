// rpc_source_process SEGMENT TARGET FIRST COUNT SEED send|wait|die-holding-lock:
// a source sends test messages FIRST... to the destination TARGET, then the
// process exits or waits to be killed; or it dies holding the shared lock.
#include <mqueue.h>
#include <signal.h>

#include "RpcTestSupport.h"
#include "runtime/CQuorRpcMsgSrcPosix.h"

int main(int argc, char** argv) {
    if (argc != 7 || CPUCommStandInSetSegment(argv[1], 1 << 20) != 0) {
        return 2;
    }
    std::string const mode = argv[6];
    if (mode == "die-holding-lock" && CPUCommStandInHoldLock() == 0) {
        raise(SIGKILL);
    }
    int const first = std::stoi(argv[3]), count = std::stoi(argv[4]), seed = std::stoi(argv[5]);
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
        CQuorMsg msg = rpc_test::TestMessage(static_cast<unsigned>(seed), first + sent);
        if (source.SendCmd(&msg) != 0) {
            return 4;
        }
    }
    while (static_cast<int>(source.GetNrOfProcessedMsgs()) < count) {
        usleep(1000);
    }
    if (mode == "wait") {
        // Killed while waiting: the name goes now, the queue with the process.
        mq_unlink(source.GetQueueName().c_str());
        pause();
    }
    return 0;
}
