#include <gtest/gtest.h>
#include <syslog.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "debug/CQuorTrace.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"
#include "support/SyslogCapture.h"
#include "util/FileTestSupport.h"

namespace {

using namespace std::chrono_literals;

// Waits (generously: the printer outputs one line per 10 ms) until the
// printer thread has emptied the ring.
bool WaitUntilRingIsEmpty(std::chrono::seconds limit = 30s) {
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (quorTraceThread.IsSomethingToPrint()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class PrinterThread : public testing::Test {
protected:
    void TearDown() override { quorTraceThread.StopThreadAndWait(); }
};

TEST_F(PrinterThread, InitOpensSyslogSetsThePrefixAndStartsThePrinter) {
    EXPECT_EQ(ScreenOutputOf([] { EXPECT_EQ(QuorTrace_Init("mediaproc"), 0); }), "");
    std::vector<OpenlogCall> const calls = SyslogCapture::OpenlogCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ident, "mediaproc");
    EXPECT_EQ(calls[0].option, LOG_NOWAIT);
    EXPECT_EQ(calls[0].facility, LOG_LOCAL0);
    EXPECT_EQ(quorSyslogFacility.load(), LOG_LOCAL0);
    EXPECT_STREQ(quorTraceProcessPrefix.Get(), "mediaproc ");

    ASSERT_TRUE(quorTraceThread.IsRunning());
    EXPECT_STREQ(CThreadObject::GetThreadName(quorTraceThread.GetThread()), "QuorTrace");

    // Queued lines now reach the outputs without anyone driving the ring.
    UserOutputCapture capture;
    quorTrace.SetTraceModeDirectPrint(0);
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "queued %d\n", 1);
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "queued %d\n", 2);
    ASSERT_TRUE(WaitUntilRingIsEmpty());
    quorTraceThread.StopThreadAndWait();
    EXPECT_EQ(UserOutputCapture::Lines(),
              (std::vector<std::string>{TraceHeader(1, "mediaproc ") + "queued 1\n",
                                        TraceHeader(2, "mediaproc ") + "queued 2\n"}));
}

// The payload of line `index` of producer `producer`: its length and letters
// differ from line to line, so a torn or mixed line cannot match.
std::string Payload(int producer, int index) {
    return std::string(static_cast<std::size_t>(10 + (index * 37) % 300),
                       static_cast<char>('a' + (producer + index) % 26));
}

struct ParsedLine {
    bool gap = false;
    unsigned sequenceNumber = 0;
    int producer = 0;
    int index = 0;
    std::string text;
};

// The syslog lines of producers 0 to lastProducer, each tracing its Payload
// lines; a failure for a torn line, a wrong priority or a thread id that
// changes within one producer.
std::vector<ParsedLine> ParseLines(int lastProducer, int linesEach) {
    std::regex const layout(R"(\[(\d{5})\] ([0-9a-f]{8}) T(\d+) L(\d{5}) ([a-z]+)\n)");
    std::vector<ParsedLine> parsed;
    std::map<int, std::string> threadIdOf;
    for (SyslogLine const& line : SyslogCapture::Take()) {
        ParsedLine entry;
        entry.text = line.text;
        std::smatch match;
        if (line.text == "--- GAP ---\n") {
            EXPECT_EQ(line.priority, LOG_INFO);
            entry.gap = true;
        } else if (!std::regex_match(line.text, match, layout)) {
            ADD_FAILURE() << "torn line: " << line.text;
            continue;
        } else {
            EXPECT_EQ(line.priority, LOG_INFO | LOG_LOCAL0);
            entry.sequenceNumber = static_cast<unsigned>(std::stoul(match[1]));
            entry.producer = std::stoi(match[3]);
            entry.index = std::stoi(match[4]);
            if (entry.producer > lastProducer || entry.index >= linesEach) {
                ADD_FAILURE() << "unknown line: " << line.text;
                continue;
            }
            EXPECT_EQ(match[5].str(), Payload(entry.producer, entry.index));
            auto const known = threadIdOf.emplace(entry.producer, match[2].str());
            EXPECT_EQ(known.first->second, match[2].str()) << "thread id changed";
        }
        parsed.push_back(entry);
    }
    return parsed;
}

// Several threads trace while the printer runs; what is printed is checked
// line by line against what was traced.
void RunStress(int producers, int linesEach) {
    quorTrace.SetTraceModeDirectPrint(0);
    quorTrace.SetTraceModeUseSyslog(1);
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
    UserOutputCapture capture;
    ASSERT_EQ(quorTraceThread.StartThread("QuorTrace", 0, 0), 0);

    std::vector<std::thread> threads;
    for (int p = 0; p < producers; ++p) {
        threads.emplace_back([p, linesEach] {
            for (int i = 0; i < linesEach; ++i) {
                TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "T%d L%05d %s\n", p, i,
                                     Payload(p, i).c_str());
                if (i % 10 == 0) {
                    std::this_thread::sleep_for(1ms); // lets the printer take part
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    quorTraceThread.StopThreadAndWait();
    DrainTraceRing();
    // One more line, from an extra "producer", so that a loss at the very end
    // is followed by a printed line too.
    TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "T%d L%05d %s\n", producers, 0,
                         Payload(producers, 0).c_str());
    DrainTraceRing();

    int const total = producers * linesEach + 1;
    ASSERT_LT(total, 65535) << "the check assumes no counter wrap";
    EXPECT_EQ(quorTraceCtr.load(), total);

    std::vector<ParsedLine> const parsed = ParseLines(producers, linesEach);
    std::vector<std::string> numberedTexts;
    std::set<unsigned> printedNumbers;
    std::vector<int> lastIndex(static_cast<std::size_t>(producers) + 1, -1);
    for (ParsedLine const& entry : parsed) {
        if (entry.gap) {
            continue;
        }
        numberedTexts.push_back(entry.text);
        EXPECT_TRUE(printedNumbers.insert(entry.sequenceNumber).second)
            << "line " << entry.sequenceNumber << " printed twice";
        int& last = lastIndex[static_cast<std::size_t>(entry.producer)];
        EXPECT_GT(entry.index, last) << "producer " << entry.producer << " out of order";
        last = entry.index;
    }
    // The user output function saw the same lines, in the same order.
    EXPECT_EQ(UserOutputCapture::Lines(), numberedTexts);
    // At least what the ring holds was printed.
    EXPECT_GE(numberedTexts.size(),
              static_cast<std::size_t>(CQuorTraceThread::nrOfTraceElements - 1));
    // A gap marker stands exactly where the numbers do not follow on, so every
    // lost line is marked right after the line before it.
    unsigned previous = 0;
    bool gapSeen = false;
    for (ParsedLine const& entry : parsed) {
        if (entry.gap) {
            EXPECT_FALSE(gapSeen) << "two markers in a row";
            gapSeen = true;
            continue;
        }
        bool const gapDue = previous != 0 && previous + 1 != entry.sequenceNumber;
        EXPECT_EQ(gapSeen, gapDue) << "before line " << entry.sequenceNumber;
        previous = entry.sequenceNumber;
        gapSeen = false;
    }
    EXPECT_EQ(previous, static_cast<unsigned>(total));
    EXPECT_EQ(printedNumbers.count(1), 1u); // nothing before it could mark its loss
}

TEST_F(PrinterThread, StressEveryLineWholeOnceInOrderOrMarkedAsLost) {
    RunStress(4, 4000);
}

TEST_F(PrinterThread, FileTracingStartsAndStopsWhileLinesAreWritten) {
    testfs::TempDir dir;
    quorTrace.SetTraceOn(TRACE_TIMER, TRACELEVEL_ALL);
    quorTrace.SetTraceModeDirectPrint(0);
    ASSERT_EQ(quorTraceThread.StartThread("QuorTrace", 0, 0), 0);

    // One thread traces queued, one direct: both reach the file.
    std::atomic<bool> tracing{true};
    auto const producer = [&](char const* kind) {
        for (int i = 0; tracing.load(); ++i) {
            TraceFormattedString(TRACE_TIMER, TRACELEVEL_INFO, "%s %05d %s\n", kind, i,
                                 Payload(0, i).c_str());
            std::this_thread::sleep_for(2ms);
        }
    };
    std::thread queued(producer, "queued");
    std::this_thread::sleep_for(150ms);
    std::string const output = ScreenOutputOf([&] {
        EXPECT_EQ(quorTrace.StartTracingToFile(dir.Path().c_str(), "quortrc"), 0);
        std::this_thread::sleep_for(300ms);
        quorTrace.SetTraceModeDirectPrint(1);
        std::thread direct(producer, "direct");
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(quorTrace.StopTracingToFile(), 0);
        tracing.store(false);
        direct.join();
    });
    queued.join();
    quorTraceThread.StopThreadAndWait();

    std::string const path = dir / "quortrc.log";
    EXPECT_NE(output.find("CQuorTrace:: LogFile closed : " + path), std::string::npos);
    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("--- ^^^", 0), 0u);
    std::regex const layout(
        R"((\[\d{5}\] [0-9a-f]{8}  (queued|direct) (\d{5}) ([a-z]+))|(--- GAP ---))");
    std::set<std::string> kinds;
    while (std::getline(in, line)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, layout)) << line;
        if (match[1].matched) {
            kinds.insert(match[2]);
            EXPECT_EQ(match[4].str(), Payload(0, std::stoi(match[3])));
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"queued", "direct"}));
}

} // namespace
