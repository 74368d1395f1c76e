#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "script/SILCompileState.h"
#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILTokenizer.h"
#include "script/SILVariables.h"

namespace sil {

namespace {

constexpr char const* kYellow = "\033[33m";
constexpr char const* kNormal = "\033[0m";

bool EmitPair(int type, int value) {
    return Emit(type) && Emit(value);
}

// Type 6: padded size, length, then the text zero-padded to whole words.
bool EmitStringConstant(char const* text, std::size_t length) {
    int const padded = static_cast<int>((length + 3) & ~std::size_t{3});
    if (!EmitPair(kStringConstant, padded) || !Emit(static_cast<int>(length))) {
        return false;
    }
    for (std::size_t offset = 0; offset < length; offset += 4) {
        char bytes[4] = {};
        std::memcpy(bytes, text + offset, length - offset < 4 ? length - offset : 4);
        std::int32_t word;
        std::memcpy(&word, bytes, sizeof word);
        if (!Emit(word)) {
            return false;
        }
    }
    return true;
}

// Numbers are read as the 32-bit target reads them: a decimal beyond the int
// range saturates, a hexadecimal one saturates at 0xFFFFFFFF.
bool EmitNumber(char const* token, char* letter) {
    if (std::strchr(token, '.') != nullptr) {
        float const value = std::strtof(token, nullptr);
        std::int32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        *letter = 'f';
        return EmitPair(kFloatConstant, bits);
    }
    *letter = 'i';
    if (token[0] == '0' && token[1] == 'x') {
        unsigned long long const value = std::strtoull(token, nullptr, 16);
        return EmitPair(kIntConstant,
                        static_cast<std::int32_t>(value > UINT32_MAX ? UINT32_MAX : value));
    }
    long long const value = std::strtoll(token, nullptr, 10);
    return EmitPair(kIntConstant, static_cast<int>(value > INT_MAX   ? INT_MAX
                                                   : value < INT_MIN ? INT_MIN
                                                                     : value));
}

// Emits the descriptor of one argument and gives its signature letter.
bool EmitArgument(char const* token, bool target, char* letter) {
    char const first = token[0];
    *letter = 's';
    if (first == '"') {
        std::size_t const length = std::strlen(token);
        return EmitStringConstant(token + 1, length >= 2 ? length - 2 : 0);
    }
    if (int const code = OperatorCode(token)) {
        *letter = 'o';
        return EmitPair(kOperator, code);
    }
    if (first == ':') {
        *letter = 'i';
        return EmitPair(kIntConstant, 0);
    }
    if (std::isdigit(static_cast<unsigned char>(first)) || first == '+' || first == '-') {
        return EmitNumber(token, letter);
    }
    if (std::isalpha(static_cast<unsigned char>(first))) {
        int const index = FindVariable(token);
        if (index >= 0) {
            static char const kLetters[] = "ifs";
            *letter = kLetters[var[index].type];
            if (target) {
                *letter = static_cast<char>(std::toupper(*letter));
            }
            return EmitPair(var[index].type, var[index].position);
        }
        std::printf("\n%sSIL-WARNING: Unknown variable found in SIL script - %s - If it should be "
                    "a string, enclose it in double quotes.%s\n",
                    kYellow, token, kNormal);
    }
    return EmitStringConstant(token, std::strlen(token));
}

// Appends the jump descriptor of a block instruction; the result is the
// index of its slot.
bool EmitJump(int destination, int* slot) {
    if (!Emit(kJumpTarget)) {
        return false;
    }
    *slot = next;
    return Emit(destination);
}

// Checks the block stacks before anything of the instruction is final, so a
// failing line leaves the reserved opcode word as an end marker.
int CheckBlock(int op) {
    switch (op) {
    case kOpIf:
        return ifsp < kStackSize ? 0 : kErrNestingIf;
    case kOpElse:
    case kOpEndif:
        return ifsp > 0 ? 0 : kErrNestingIf;
    case kOpWhile:
        return whilesp + 2 <= kStackSize ? 0 : kErrNestingWhile;
    case kOpWend:
        return whilesp > 0 ? 0 : kErrNestingWhile;
    case kOpRepeat:
        return repeatsp < kStackSize ? 0 : kErrNestingRepeat;
    case kOpUntil:
        return repeatsp > 0 ? 0 : kErrNestingRepeat;
    default:
        return 0;
    }
}

} // namespace

int CompileCommandLine(T_SILLine& line) {
    int const opcodeAt = next;
    if (!Emit(kEndMarker)) {
        return kErrProgramMemory;
    }
    int const arguments = line.count - 1;
    char letters[kMaxTokens + 1] = {};
    for (int k = 0; k < arguments; ++k) {
        if (!EmitArgument(line.tokens[k + 1], line.arrow && k == 0, &letters[k])) {
            return kErrProgramMemory;
        }
    }
    int badArgument = 0;
    int const op = MatchSignature(line.tokens[0], letters, &badArgument);
    if (op < 0) {
        SILBadArgument = badArgument;
        return op;
    }
    if (arguments > kMaxParameters) {
        return kErrTooManyArguments; // a row with more letters than an instruction can hold
    }
    if (int const result = CheckBlock(op)) {
        return result;
    }
    if (op == kOpEndif || op == kOpRepeat) {
        next = opcodeAt; // these emit nothing
        if (op == kOpEndif) {
            bytecode[ifstack[--ifsp]] = next;
        } else {
            repeatstack[repeatsp++] = next;
        }
        return 0;
    }
    int slot = 0;
    bool room = true;
    switch (op) {
    case kOpIf:
    case kOpElse:
    case kOpWhile:
        room = EmitJump(0, &slot);
        break;
    case kOpWend:
        room = EmitJump(whilestack[whilesp - 2], &slot);
        break;
    case kOpUntil:
        room = EmitJump(repeatstack[repeatsp - 1], &slot);
        break;
    default:
        break;
    }
    if (!room || !Emit(kTerminator)) {
        return kErrProgramMemory;
    }
    switch (op) {
    case kOpIf:
        ifstack[ifsp++] = slot;
        break;
    case kOpElse:
        bytecode[ifstack[ifsp - 1]] = next;
        ifstack[ifsp - 1] = slot;
        break;
    case kOpWhile:
        whilestack[whilesp++] = opcodeAt;
        whilestack[whilesp++] = slot;
        break;
    case kOpWend:
        bytecode[whilestack[whilesp - 1]] = next;
        whilesp -= 2;
        break;
    case kOpUntil:
        --repeatsp;
        break;
    default:
        break;
    }
    bytecode[opcodeAt] =
        static_cast<int>(static_cast<std::uint32_t>(op) | (line.arrow ? kTargetBit : 0u));
    return 0;
}

} // namespace sil
