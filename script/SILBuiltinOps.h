#pragma once

#include <climits>
#include <cstdint>
#include <cstring>

#include "script/SILProgram.h"
#include "script/SILRuntime.h"

// The work of the built-in rows on the parameter block. The cheap cases
// (conditions on numbers, jumps, int and float arithmetic) are inline so that
// the interpreter loop runs them without a call; strings, subroutine calls
// and errors are out of line (SILBuiltins.cpp).

namespace sil {

// Out of line.
void Corrupted(T_SILRuntime const& rt);                // kErrCorruptedProgram
bool CompareStrings(T_SILRuntime const& rt, int code); // parameters 0 and 2
void StringBuiltin(T_SILRuntime& rt, int op);          // set, prints, concat, strlen, integer
void CallSubroutine(T_SILRuntime& rt);
void ReturnFromSubroutine(T_SILRuntime& rt);

template <typename T> inline T Load(int const* word) {
    T value;
    std::memcpy(&value, word, sizeof value);
    return value;
}

template <typename T> inline void Store(int* word, T value) {
    std::memcpy(word, &value, sizeof value);
}

template <typename T> inline bool Compare(int code, T a, T b) {
    switch (code) {
    case kOpEqual:
        return a == b;
    case kOpNotEqual:
        return a != b;
    case kOpLess:
        return a < b;
    case kOpGreater:
        return a > b;
    case kOpLessEqual:
        return a <= b;
    case kOpGreaterEqual:
        return a >= b;
    default:
        return false; // "~" and "!~" never match
    }
}

// Operands of different types never compare equal, less or greater.
inline bool EvaluateCondition(T_SILRuntime const& rt) {
    int const type = rt.paraType[0];
    if (type != rt.paraType[2]) {
        return false;
    }
    int const code = *rt.para[1];
    switch (type) {
    case kIntVariable:
        return Compare(code, Load<int>(rt.para[0]), Load<int>(rt.para[2]));
    case kFloatVariable:
        return Compare(code, Load<float>(rt.para[0]), Load<float>(rt.para[2]));
    case kStringVariable:
        return CompareStrings(rt, code);
    default:
        return false;
    }
}

// 32-bit arithmetic that wraps as the target's does; division truncates
// toward zero and gives 0 for a zero divisor.
inline int IntOperation(int op, int a, int b) {
    std::uint32_t const ua = static_cast<std::uint32_t>(a);
    std::uint32_t const ub = static_cast<std::uint32_t>(b);
    switch (op) {
    case kOpAddInt:
        return static_cast<int>(ua + ub);
    case kOpSubInt:
        return static_cast<int>(ua - ub);
    case kOpMultInt:
        return static_cast<int>(ua * ub);
    default:
        if (b == 0) {
            return 0;
        }
        return a == INT_MIN && b == -1 ? INT_MIN : a / b;
    }
}

inline float FloatOperation(int op, float a, float b) {
    switch (op) {
    case kOpAddFloat:
        return a + b;
    case kOpSubFloat:
        return a - b;
    case kOpMultFloat:
        return a * b;
    default:
        return a / b;
    }
}

inline void Jump(T_SILRuntime& rt, int const* destination) {
    rt.program[kHeaderEntry] = static_cast<int>(destination - rt.program);
}

// Whether the instruction has fewer parameters than its row reads, which only
// a hand-made program can have; the run then ends.
inline bool Lacks(T_SILRuntime const& rt, int parameters) {
    if (rt.paraNum >= parameters) {
        return false;
    }
    Corrupted(rt);
    return true;
}

// target = P1 op P2, with the operation known at compile time.
template <int op> inline void Arithmetic(T_SILRuntime& rt) {
    if (rt.targetFlag == 0 || Lacks(rt, 3)) {
        return;
    }
    int* const* p = rt.para;
    if (op == kOpAddInt || op == kOpSubInt || op == kOpMultInt || op == kOpDivInt) {
        *p[0] = IntOperation(op, *p[1], *p[2]);
    } else {
        Store(p[0], FloatOperation(op, Load<float>(p[1]), Load<float>(p[2])));
    }
}

// The handler of the built-in rows, by opcode. Rows with a target do nothing
// when the line names none. Always inline: it is the interpreter loop's body.
[[gnu::always_inline]] inline void ExecuteBuiltin(T_SILRuntime& rt) {
    int const op = rt.opcode;
    int* const* p = rt.para;
    bool const target = rt.targetFlag != 0;
    // The statements of loops by comparison, cheaper than the jump table of
    // the switch.
    if (op == kOpAddInt) {
        return Arithmetic<kOpAddInt>(rt);
    }
    if (op == kOpWhile || op == kOpIf || op == kOpUntil) {
        if (!Lacks(rt, 4) && !EvaluateCondition(rt)) {
            Jump(rt, p[3]);
        }
        return;
    }
    if (op == kOpWend || op == kOpElse) {
        if (!Lacks(rt, 1)) {
            Jump(rt, p[0]);
        }
        return;
    }
    switch (op) {
    case kOpSetIntTarget:
    case kOpSetFloatTarget:
        if (!target) {
            return;
        }
        [[fallthrough]];
    case kOpSetInt:
    case kOpSetFloat:
        if (!Lacks(rt, 2)) {
            *p[0] = *p[1];
        }
        return;
    case kOpSubInt:
        return Arithmetic<kOpSubInt>(rt);
    case kOpMultInt:
        return Arithmetic<kOpMultInt>(rt);
    case kOpDivInt:
        return Arithmetic<kOpDivInt>(rt);
    case kOpAddFloat:
        return Arithmetic<kOpAddFloat>(rt);
    case kOpSubFloat:
        return Arithmetic<kOpSubFloat>(rt);
    case kOpMultFloat:
        return Arithmetic<kOpMultFloat>(rt);
    case kOpDivFloat:
        return Arithmetic<kOpDivFloat>(rt);
    case kOpSetStringTarget:
    case kOpConcat:
    case kOpStrlen:
    case kOpInteger:
        if (!target) {
            return;
        }
        [[fallthrough]];
    case kOpSetString:
    case kOpPrints:
        return StringBuiltin(rt, op);
    case kOpCall:
        return CallSubroutine(rt);
    case kOpReturn:
        return ReturnFromSubroutine(rt);
    default:
        return; // stop ends the run before; endif and repeat are never emitted
    }
}

} // namespace sil
