#pragma once

#include <gtest/gtest.h>

#include <string>

#include "debug/CQuorTrace.h"

// Collects what a user watching the screen sees while it lives: the trace
// lines of one unit from the given level on, and the plain output. Puts the
// unit back to its default level when it goes.
class TraceCapture {
public:
    explicit TraceCapture(unsigned unit, T_TraceLevel level = TRACELEVEL_DEBUG) : m_unit(unit) {
        quorTrace.SetTraceOn(unit, level);
        quorTrace.StartTracingToScreen();
        testing::internal::CaptureStdout();
    }
    ~TraceCapture() {
        Text();
        quorTrace.SetTraceOn(m_unit, TRACELEVEL_WARNING);
    }
    TraceCapture(TraceCapture const&) = delete;
    TraceCapture& operator=(TraceCapture const&) = delete;

    // What was printed; the capture ends at the first call.
    std::string const& Text() {
        if (!m_done) {
            m_text = testing::internal::GetCapturedStdout();
            m_done = true;
        }
        return m_text;
    }

private:
    unsigned m_unit;
    bool m_done = false;
    std::string m_text;
};
