#include <gtest/gtest.h>
#include <unistd.h>

#include "runtime/Timer.h"

namespace {

TEST(Stopwatch, MeasuresUntilStoppedAndKeepsTheValueAfterwards) {
    Timer timer;
    timer.start();
    usleep(30000);
    double const running = timer.getElapsedTimeInMilliSec();
    EXPECT_GE(running, 29.0);
    timer.stop();
    double const stopped = timer.getElapsedTimeInMicroSec();
    EXPECT_GE(stopped, running * 1000.0 - 1000.0);
    usleep(10000);
    EXPECT_EQ(timer.getElapsedTimeInMicroSec(), stopped) << "a stopped watch does not move";
    EXPECT_DOUBLE_EQ(timer.getElapsedTimeInSec(), stopped * 0.000001);
    EXPECT_DOUBLE_EQ(timer.getElapsedTime(), timer.getElapsedTimeInSec());
    EXPECT_EQ(timer.getElapsedTimeInMilliSec(), static_cast<long>(timer.getElapsedTimeInMilliSec()))
        << "whole milliseconds";
}

TEST(Stopwatch, RestartBeginsANewMeasurement) {
    Timer timer;
    timer.start();
    usleep(20000);
    timer.stop();
    EXPECT_GE(timer.getElapsedTimeInMilliSec(), 19.0) << "stop reads the clock";
    timer.start();
    EXPECT_LT(timer.getElapsedTimeInMilliSec(), 15.0);
}

} // namespace
