#include <cstdint>
#include <cstdio>

#include "script/SILBuiltinOps.h"
#include "script/SILCommandTable.h"
#include "script/SILProgram.h"
#include "script/SILRuntime.h"
#include "script/SILStrings.h"

T_SILRuntime SILRuntime;
int RuntimeError = 0;
char RuntimeErrorInfo[256] = "";

namespace sil {

unsigned runWords = 0;

void SetCorrupted(int const* word) {
    RuntimeError = kErrCorruptedProgram;
    RuntimeErrorInfo[0] = '\0';
    long const position = PositionInProgram(word);
    if (position >= 0) {
        std::snprintf(RuntimeErrorInfo, sizeof RuntimeErrorInfo, "word %ld", position);
    }
}

} // namespace sil

using namespace sil;

namespace {

char const* const kRuntimeMessages[] = {
    "Runtime Error: String variable overflow!\r\n'%s'",
    "Runtime Error: Input string too long!\r\n'%s'",
    "Runtime Error: Internal string pool full!\r\n'%s'",
    "Runtime Error: Nesting too deep!\r\n'%s'",
    "Runtime Error: 'return' outside of subroutine!\r\n'%s'",
    "Runtime Error: Program corrupted!\r\n'%s'",
};

int KeepRunning() {
    return 0;
}

bool EndsTheRun(int error) {
    return error <= kErrStringOverflow && error >= kErrCorruptedProgram;
}

void PrintRuntimeError() {
    char text[sizeof RuntimeErrorInfo + 64];
    std::snprintf(text, sizeof text, kRuntimeMessages[-RuntimeError - 1], RuntimeErrorInfo);
    std::printf("%s", text);
}

// The size in words of a program whose header is sound, else 0.
std::uint32_t ProgramWords(int const* program) {
    std::uint32_t const words = static_cast<std::uint32_t>(program[kHeaderBufferSize]) / 4;
    if (words <= static_cast<std::uint32_t>(kFirstCodeWord) ||
        static_cast<std::uint32_t>(program[kHeaderFirstCode]) >= words ||
        static_cast<std::uint32_t>(program[kHeaderEntry]) >= words) {
        return 0;
    }
    return words;
}

// Decodes the descriptors from `pc` up to the terminator into the parameter
// block. Returns the index after the terminator, or 0 when a descriptor
// reaches outside the program.
inline std::uint32_t Decode(int* program, std::uint32_t pc, std::uint32_t words, T_SILRuntime& rt) {
    int const* at = program + pc;
    int const* const last = program + words - 1; // a descriptor needs two words
    int n = 0;
    for (;; ++n) {
        if (at >= last) {
            rt.paraNum = n;
            return at == last && *at == kTerminator ? words : 0;
        }
        std::uint32_t const type = static_cast<std::uint32_t>(at[0]);
        std::uint32_t const value = static_cast<std::uint32_t>(at[1]);
        if (type == static_cast<std::uint32_t>(kTerminator)) {
            rt.paraNum = n;
            return static_cast<std::uint32_t>(at + 1 - program);
        }
        if (n == kMaxParameters) {
            return 0;
        }
        rt.paraType[n] = static_cast<int>(type) & kParameterTypeMask;
        if (type <= static_cast<std::uint32_t>(kJumpTarget)) {
            if (value >= words) {
                return 0;
            }
            rt.para[n] = program + value; // a variable or a jump destination
            at += 2;
        } else {
            rt.para[n] = const_cast<int*>(at + 1); // a constant, read in place
            if (type != static_cast<std::uint32_t>(kStringConstant)) {
                at += 2;
            } else if (value % 4 == 0 && value / 4 < static_cast<std::uint32_t>(last - at) - 1) {
                at += 3 + value / 4;
            } else {
                return 0;
            }
        }
    }
}

} // namespace

int SILRun(int* program, int /*ignored*/, SILPollFunction poll) {
    std::uint32_t const words = program != nullptr ? ProgramWords(program) : 0;
    std::int32_t sum = 0;
    if (words == 0 || !ProgramChecksum(program, words, &sum) || sum != program[kHeaderChecksum]) {
        std::fputs("SIL programm corrupted!", stdout);
        return kRunCorrupted;
    }
    T_SILRuntime& rt = SILRuntime;
    int& error = RuntimeError;
    // A command may run a script of its own: its caller's run goes on after it.
    T_SILRuntime const outer = rt;
    std::uint32_t const outerWords = runWords;
    int const outerError = error;
    int const entry = program[kHeaderEntry];
    error = 0;
    RuntimeErrorInfo[0] = '\0';
    rt.callDepth = 0;
    rt.program = program;
    runWords = words;
    if (poll == nullptr) {
        poll = KeepRunning;
    }
    for (;;) {
        if (poll() == -1) {
            break;
        }
        std::uint32_t pc = static_cast<std::uint32_t>(program[kHeaderEntry]);
        if (pc >= words) {
            SetCorrupted(program + pc);
            PrintRuntimeError();
            break;
        }
        std::uint32_t const word = static_cast<std::uint32_t>(program[pc]);
        std::uint32_t const op = word & kOpcodeMask;
        if (op == kOpcodeMask) {
            break; // end marker
        }
        ResetStringPool();
        std::uint32_t const after = Decode(program, pc + 1, words, rt);
        if (after == 0) {
            SetCorrupted(program + pc);
            PrintRuntimeError();
            break;
        }
        program[kHeaderEntry] = static_cast<int>(after);
        rt.opcode = static_cast<int>(op);
        rt.targetFlag = static_cast<int>(word >> 31);
        if (op == kOpStop) {
            break;
        }
        if (op < static_cast<std::uint32_t>(kBuiltinCount)) {
            ExecuteBuiltin(rt); // what SILExecuteBuiltin, their handler, does
        } else if (op >= static_cast<std::uint32_t>(numcmd)) {
            SetCorrupted(program + pc); // no such command
        } else if (commands[op].handler != nullptr) {
            commands[op].handler(commands[op].userData);
        }
        if (EndsTheRun(error)) {
            PrintRuntimeError();
            break;
        }
    }
    program[kHeaderResult] = 0;
    program[kHeaderEntry] = entry;
    rt = outer;
    runWords = outerWords;
    if (outer.program != nullptr) {
        error = outerError;
    }
    return 0;
}
