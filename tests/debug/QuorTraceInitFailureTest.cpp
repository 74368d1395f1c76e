#include <gtest/gtest.h>

#include "debug/CQuorTrace.h"
#include "debug/CQuorTraceThread.h"
#include "debug/QuorTraceModes.h"
#include "debug/TraceTestSupport.h"
#include "support/SyslogCapture.h"

namespace {

TEST(QuorTraceInit, PrinterThatCannotStartIsReportedInRed) {
    int result = 0;
    std::string const output = ScreenOutputOf([&] { result = QuorTrace_Init("settop"); });
    EXPECT_EQ(result, -1100);
    EXPECT_EQ(output, "\033[31mERROR: CQuorTrace::Init() - Error while starting QuorTrace thread "
                      "- rc = -1100\033[0m");
    EXPECT_FALSE(quorTraceThread.IsRunning());
    // The rest of the set-up was done all the same.
    EXPECT_STREQ(quorTraceProcessPrefix.Get(), "settop ");
    ASSERT_EQ(SyslogCapture::OpenlogCalls().size(), 1u);
    EXPECT_EQ(SyslogCapture::OpenlogCalls()[0].ident, "settop");
}

} // namespace
