#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "debug/CQuorTrace.h"
#include "debug/CTimeTrace.h"
#include "debug/TraceTestSupport.h"
#include "util/FileTestSupport.h"

namespace {

constexpr unsigned unit = 13;

// Reports of the recorders reach the screen.
class TimeTrace : public testing::Test {
protected:
    void SetUp() override {
        quorTrace.StartTracingToScreen();
        quorTrace.SetTraceOnAll(TRACELEVEL_ALL);
    }

    // The trace lines printed by action, without their headers.
    template <typename Action> static std::vector<std::string> Messages(Action&& action) {
        std::istringstream output(ScreenOutputOf(action));
        std::vector<std::string> messages;
        std::string line;
        std::regex const header(R"(\[\d{5}\] [0-9a-f]{8}  (.*))");
        while (std::getline(output, line)) {
            std::smatch match;
            messages.push_back(std::regex_match(line, match, header) ? match[1].str() : line);
        }
        return messages;
    }
};

TEST_F(TimeTrace, ProbesBeyondTheCapacityAreIgnored) {
    CTimeTrace recorder(unit, TRACELEVEL_INFO);
    recorder.StartTT("start");
    for (int i = 1; i <= 1000; ++i) {
        recorder.TTPoint(i, "probe");
    }
    EXPECT_EQ(recorder.GetTTSize(), 999);

    CTimeTrace small(4, unit, TRACELEVEL_INFO);
    small.StartTT("start");
    for (int id = 11; id <= 15; ++id) {
        small.TTPoint(id, "p");
    }
    EXPECT_EQ(small.GetTTSize(), 3);
    std::vector<std::string> const listing = Messages([&] { small.TTPrint(); });
    ASSERT_EQ(listing.size(), 4u);
    EXPECT_EQ(listing[3].substr(0, 15), "0003 Id = 0013 ");
    // A new measurement starts over.
    small.StartTT("again");
    EXPECT_EQ(small.GetTTSize(), 0);
}

TEST_F(TimeTrace, DifferencesBorrowASecond) {
    timespec const borrow = CTimeTrace::TTDiffTime(timespec{1, 900000000}, timespec{2, 100000000});
    EXPECT_EQ(borrow.tv_sec, 0);
    EXPECT_EQ(borrow.tv_nsec, 200000000);
    timespec const plain = CTimeTrace::TTDiffTime(timespec{1, 100}, timespec{3, 250});
    EXPECT_EQ(plain.tv_sec, 2);
    EXPECT_EQ(plain.tv_nsec, 150);
}

TEST_F(TimeTrace, RangesMeasureTheTimeBetweenProbes) {
    CTimeTrace recorder(unit, TRACELEVEL_INFO);
    recorder.StartTT("start");
    usleep(50000);
    recorder.TTPoint(7, "after sleep");
    timespec range{};
    ASSERT_EQ(recorder.TTGetRange(&range, 0, 1), 0);
    long const microseconds = range.tv_sec * 1000000 + range.tv_nsec / 1000;
    EXPECT_GE(microseconds, 50000);
    EXPECT_LT(microseconds, 5000000);
    timespec const total = recorder.TTDiffTimeTotal();
    EXPECT_EQ(total.tv_sec, range.tv_sec);
    EXPECT_EQ(total.tv_nsec, range.tv_nsec);
    timespec const current = recorder.TTDiffTimeTotalCurrent();
    EXPECT_GE(current.tv_sec * 1000000000L + current.tv_nsec,
              total.tv_sec * 1000000000L + total.tv_nsec);

    std::vector<std::string> const line = Messages([&] { recorder.TTPrintRange(0, 1); });
    ASSERT_EQ(line.size(), 1u);
    char expected[128];
    std::snprintf(expected, sizeof expected,
                  "Range = 000:001 (Id 0000:0007) Diff: (sec.usec) %02ld.%06ld",
                  static_cast<long>(range.tv_sec), range.tv_nsec / 1000);
    EXPECT_EQ(line[0], expected);
}

TEST_F(TimeTrace, RangeRefusalsHaveTheirCodesAndMessages) {
    CTimeTrace recorder(unit, TRACELEVEL_INFO);
    recorder.StartTT("start");
    recorder.TTPoint(1, "a");
    recorder.TTPoint(2, "b");
    timespec range{};
    int result = 0;
    EXPECT_EQ(Messages([&] { result = recorder.TTGetRange(&range, 3, 4); }),
              (std::vector<std::string>{"\033[31mRange start greater than trace", "\033[0m"}));
    EXPECT_EQ(result, -2550);
    EXPECT_EQ(Messages([&] { result = recorder.TTGetRange(&range, 0, 3); }),
              (std::vector<std::string>{"\033[31mRange end greater than trace", "\033[0m"}));
    EXPECT_EQ(result, -2551);
    EXPECT_EQ(Messages([&] { result = recorder.TTGetRange(&range, 2, 2); }),
              (std::vector<std::string>{"\033[31mIllegal range : 2:2(length=2)", "\033[0m"}));
    EXPECT_EQ(result, -2552);
    EXPECT_EQ(recorder.TTGetRange(&range, -1, 1), -2552);
    EXPECT_EQ(recorder.TTGetRange(nullptr, 0, 1), -2553);

    // The printing form refuses the same way and prints no range.
    std::vector<std::string> const refused = Messages([&] { recorder.TTPrintRange(1, 1); });
    EXPECT_EQ(refused,
              (std::vector<std::string>{"\033[31mIllegal range : 1:1(length=2)", "\033[0m"}));
}

TEST_F(TimeTrace, IdRangesStartAtTheFirstStartIdAndSearchTheEndFromThere) {
    CTimeTrace recorder(unit, TRACELEVEL_INFO);
    recorder.StartTT("start");
    recorder.TTPoint(5, "a");
    recorder.TTPoint(3, "b");
    recorder.TTPoint(5, "c");
    timespec range{};
    EXPECT_EQ(recorder.TTGetIdRange(&range, 3, 3), 0);
    EXPECT_EQ(range.tv_sec, 0);
    EXPECT_EQ(range.tv_nsec, 0);

    std::vector<std::string> const line =
        Messages([&] { recorder.TTPrintIdRange(3, 5, "lbl", nullptr); });
    ASSERT_EQ(line.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        line[0],
        std::regex(R"(IdRange = 002:003 \(Id 0003:0005\) Diff: \(sec\.usec\) 00\.\d{6} lbl)")))
        << line[0];

    int result = 0;
    EXPECT_EQ(Messages([&] { result = recorder.TTGetIdRange(&range, 9, 5); }),
              (std::vector<std::string>{"TTPrintIdRange: StartId 9 not found"}));
    EXPECT_EQ(result, -2554);
    // An end id that only occurs before the start does not count.
    EXPECT_EQ(Messages([&] { result = recorder.TTGetIdRange(&range, 3, 0); }),
              (std::vector<std::string>{"\033[33mTTPrintIdRange: EndId 0 not found", "\033[0m"}));
    EXPECT_EQ(result, -2555);
    EXPECT_EQ(recorder.TTGetIdRange(nullptr, 5, 3), -2553);
}

} // namespace
