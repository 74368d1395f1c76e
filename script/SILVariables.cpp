#include "script/SILVariables.h"

#include <cstring>

#include "script/SILCompileState.h"
#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "util/Strlcpy.h"

namespace sil {

T_SILVariable var[kMaxVariables];
int vanz = 0;

int FindVariable(char const* name) {
    for (int i = 0; i < vanz; ++i) {
        if (std::strncmp(var[i].name, name, kNameSignificant) == 0) {
            return i;
        }
    }
    return -1;
}

char const* VariableNameAt(int position) {
    for (int i = 0; i < vanz; ++i) {
        if (var[i].position == position) {
            return var[i].name;
        }
    }
    return "";
}

} // namespace sil

using namespace sil;

int SILDeclareVariable(char const* name, int type, int size) {
    if (bytecode == nullptr || name == nullptr) {
        return kErrVariableMemory;
    }
    bool const isString = type == kTypeString;
    if (type < kTypeInt || type > kTypeString ||
        (isString && (size < 8 || size > kMaxStringSize || size % 4 != 0))) {
        return kErrUnknownVariable;
    }
    if (vanz >= kMaxVariables) {
        return kErrTooManyVariables;
    }
    if (FindVariable(name) >= 0) {
        return kErrDeclaredTwice;
    }
    int const freeWords = FreeWords();
    int storageWords = 1;
    if (isString) {
        if (size + 127 >= freeWords) {
            return kErrVariableMemory;
        }
        storageWords = size / 4;
    } else if (freeWords < 132) {
        return kErrVariableMemory;
    }
    int const position = bytecode[kHeaderStorageLow] - storageWords;
    std::memset(bytecode + position, 0, static_cast<std::size_t>(storageWords) * 4);
    if (isString) {
        bytecode[position] = size - 8;
    }
    bytecode[kHeaderStorageLow] = position;
    T_SILVariable& record = var[vanz++];
    strlcpy(record.name, name, sizeof record.name);
    record.position = position;
    record.type = type;
    record.size = size;
    return 0;
}
