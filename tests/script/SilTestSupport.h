#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "script/SILCommandTable.h"
#include "script/SILCompiler.h"
#include "script/SILParameters.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"

// A script compiled into a buffer of its own.
struct SilProgram {
    std::vector<int> words;
    int Result() const { return words[sil::kHeaderResult]; }
    // The code words before the first end marker.
    std::vector<int> Code() const {
        std::vector<int> code;
        for (std::size_t i = sil::kFirstCodeWord; words[i] != sil::kEndMarker; ++i) {
            code.push_back(words[i]);
        }
        return code;
    }
    // Storage position of the n-th variable declared (0 is the first) when
    // each takes one word.
    int Position(int n) const { return static_cast<int>(words.size()) - 1 - n; }
};

// "print" as the script command set has it: each parameter followed by a
// blank, then a line end.
inline void Print(void*) {
    for (int i = 0; i < SILGetParaNum(); ++i) {
        std::printf("%s ", SILGetStringPara(i));
    }
    std::printf("\n");
}

inline SilProgram Compile(std::string source, unsigned bytes = 16384) {
    SILRegisterCommand("print s:sssssssssssssss", "", Print, nullptr);
    SilProgram program{std::vector<int>(bytes / 4)};
    SILCompile(source.data(), program.words.data(), bytes);
    return program;
}

// Runs the program and returns what it printed.
inline std::string RunProgram(SilProgram& program, SILPollFunction poll = nullptr,
                              int* result = nullptr) {
    testing::internal::CaptureStdout();
    int const r = SILRun(program.words.data(), 0, poll);
    std::fflush(stdout);
    if (result != nullptr) {
        *result = r;
    }
    return testing::internal::GetCapturedStdout();
}

// Compiles (expecting success) and runs.
inline std::string CompileAndRun(std::string const& source, unsigned bytes = 16384) {
    SilProgram program = Compile(source, bytes);
    EXPECT_EQ(program.Result(), 0) << SILLastError();
    return program.Result() == 0 ? RunProgram(program) : std::string();
}
