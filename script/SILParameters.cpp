#include "script/SILParameters.h"

#include <cstring>

#include "script/SILProgram.h"
#include "script/SILRuntime.h"
#include "script/SILStrings.h"

namespace {

bool InRange(int n) {
    return n >= 0 && n < SILGetParaNum();
}

bool HasTarget() {
    return SILRuntime.targetFlag != 0 && SILRuntime.paraNum > 0;
}

// Parameter n as the block holds it, the target skipped; nullptr outside the
// block.
int* Slot(int n, int* type) {
    int const index = n + SILRuntime.targetFlag;
    bool const inBlock = index >= 0 && index < sil::kMaxParameters;
    if (type != nullptr) {
        *type = inBlock ? SILRuntime.paraType[index] : -1;
    }
    return inBlock ? SILRuntime.para[index] : nullptr;
}

} // namespace

int SILGetParaNum(void) {
    return SILRuntime.paraNum - SILRuntime.targetFlag;
}

int* SILGetParaPtr(int n, int* type) {
    return Slot(n, type);
}

void SILGetParaType(int n, int* type) {
    Slot(n, type);
}

int SILGetIntPara(int n) {
    return InRange(n) ? *Slot(n, nullptr) : 0;
}

float SILGetFloatPara(int n) {
    float value = 0.0f;
    if (InRange(n)) {
        std::memcpy(&value, Slot(n, nullptr), sizeof value);
    }
    return value;
}

char const* SILGetStringPara(int n) {
    return InRange(n) ? SILPoolString(Slot(n, nullptr)) : nullptr;
}

int SILSetIntPara(int n, int value) {
    if (!InRange(n)) {
        return 0;
    }
    *Slot(n, nullptr) = value;
    return 1;
}

int SILSetFloatPara(int n, float value) {
    if (!InRange(n)) {
        return 0;
    }
    std::memcpy(Slot(n, nullptr), &value, sizeof value);
    return 1;
}

int SILSetStringPara(int n, char const* text) {
    return InRange(n) ? SILAssignString(text, Slot(n, nullptr)) : 0;
}

int SILSetIntReturn(int value) {
    if (!HasTarget()) {
        return 0;
    }
    *SILRuntime.para[0] = value;
    return 1;
}

int SILSetFloatReturn(float value) {
    if (!HasTarget()) {
        return 0;
    }
    std::memcpy(SILRuntime.para[0], &value, sizeof value);
    return 1;
}

int SILSetStringReturn(char const* text) {
    if (!HasTarget()) {
        return 0;
    }
    SILAssignString(text, SILRuntime.para[0]);
    return 1;
}
