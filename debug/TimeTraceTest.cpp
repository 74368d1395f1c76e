#include <unistd.h>

#include "debug/CTimeTrace.h"
#include "debug/QuorTrace.h"

void TimeTraceTest1(int loops) {
    FormattedStringToStdout("Nr of loops = %d\n", loops);
    CTimeTrace recorder(0, TRACELEVEL_INFO);
    recorder.StartTT("Start");
    for (int loop = 0; loop < loops; ++loop) {
        sleep(1);
        recorder.TTPoint(2, "TT");
        timespec const total = recorder.TTDiffTimeTotalCurrent();
        FormattedStringToStdout("TimeTotal = %ld.%06ld sec\n", static_cast<long>(total.tv_sec),
                                total.tv_nsec / 1000);
    }
    recorder.TTPrint();
    recorder.TTPrintRange(0, recorder.GetTTSize());
    FormattedStringToStdout("Nr of executed loops = %d", loops);
}
