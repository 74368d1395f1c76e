// A time-trace report is one trace line: a long label comes out whole, on
// the screen and in a file.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <gmock/gmock.h>

#include "debug/CTimeTrace.h"
#include "support/TraceCapture.h"

namespace {

TEST(TimeTraceReports, ALongLabelComesOutWhole) {
    std::string const label(1500, 'L');
    std::string const file = "/tmp/quor-timetrace-label-" + std::to_string(getpid());
    CTimeTrace recorder(13, TRACELEVEL_INFO);
    recorder.StartTT("start");
    recorder.TTPoint(1, "end");
    TraceCapture capture(13, TRACELEVEL_INFO);
    recorder.TTPrintIdRange(0, 1, label.c_str(), nullptr);
    recorder.TTPrintIdRange(0, 1, label.c_str(), file.c_str());
    EXPECT_THAT(capture.Text(), testing::HasSubstr(" " + label + "\n"));
    std::string line;
    std::getline(std::ifstream(file), line);
    std::remove(file.c_str());
    EXPECT_THAT(line, testing::EndsWith(" " + label));
}

} // namespace
