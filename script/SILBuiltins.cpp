#include "script/SILBuiltins.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "script/SILBuiltinOps.h"
#include "script/SILStrings.h"
#include "util/Strlcpy.h"

namespace sil {

namespace {

// Appends the text to the string object, cutting what does not fit.
void Concat(int* object, char const* text) {
    if (!StringObjectIsSound(object)) {
        SetCorrupted(object);
        return;
    }
    std::size_t const room = static_cast<std::size_t>(object[0] - object[1]);
    std::size_t const length = strnlen(text, room + 1);
    std::size_t const copied = length < room ? length : room;
    std::memmove(reinterpret_cast<char*>(object + 2) + object[1], text, copied);
    object[1] += static_cast<int>(copied);
    if (length > room) {
        RuntimeError = kErrStringOverflow;
        strlcpy(RuntimeErrorInfo, VariableNameOf(object), sizeof RuntimeErrorInfo);
    } else {
        RuntimeError = 0;
    }
}

// strtol as the 32-bit target has it: saturating at the int range.
int ToInt(char const* text) {
    long long const value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value);
}

} // namespace

void Corrupted(T_SILRuntime const& rt) {
    SetCorrupted(rt.program + rt.program[kHeaderEntry]);
}

bool CompareStrings(T_SILRuntime const& rt, int code) {
    char const* left = SILPoolString(rt.para[0]);
    char const* right = SILPoolString(rt.para[2]);
    return Compare(code, std::strcmp(left, right), 0);
}

void StringBuiltin(T_SILRuntime& rt, int op) {
    if (Lacks(rt, 2)) {
        return;
    }
    char const* text = SILPoolString(rt.para[1]);
    switch (op) {
    case kOpConcat:
        return Concat(rt.para[0], text);
    case kOpStrlen:
        *rt.para[0] = static_cast<int>(std::strlen(text));
        return;
    case kOpInteger:
        *rt.para[0] = ToInt(text);
        return;
    default:
        SILAssignString(text, rt.para[0]);
        return;
    }
}

void CallSubroutine(T_SILRuntime& rt) {
    if (Lacks(rt, 1)) {
        return;
    }
    if (rt.callDepth >= kCallDepth) {
        RuntimeError = kErrNestingTooDeep;
        strlcpy(RuntimeErrorInfo, VariableNameOf(rt.para[0]), sizeof RuntimeErrorInfo);
        return;
    }
    rt.returnStack[rt.callDepth++] = rt.program[kHeaderEntry];
    rt.program[kHeaderEntry] = *rt.para[0];
}

void ReturnFromSubroutine(T_SILRuntime& rt) {
    if (rt.callDepth == 0) {
        RuntimeError = kErrReturnOutside;
        RuntimeErrorInfo[0] = '\0';
        return;
    }
    rt.program[kHeaderEntry] = rt.returnStack[--rt.callDepth];
}

} // namespace sil

int SILEvaluateCondition(void) {
    return sil::EvaluateCondition(SILRuntime) ? 1 : 0;
}

void SILExecuteBuiltin(void* /*userData*/) {
    sil::ExecuteBuiltin(SILRuntime);
}
