#pragma once

#include <cstdint>

// The word program that SILCompile writes and SILRun executes: the header, the
// instruction encoding and the limits both sides rely on. A program is an
// array of 32-bit words in a buffer of the caller; code grows upward from the
// first code word, variable storage downward from the top of the buffer.

namespace sil {

// Header words.
enum : int {
    kHeaderFirstCode = 0,  // index of the first code word (always kFirstCodeWord)
    kHeaderStorageLow = 1, // lowest word used by variable storage
    kHeaderEntry = 2,      // entry index; the program counter while running
    kHeaderBufferSize = 3, // buffer size in bytes
    kHeaderResult = 4,     // 0 or the negative compile error code
    kHeaderChecksum = 5,   // wrapping sum of the code words before the first end marker
    kFirstCodeWord = 6,
};

constexpr std::int32_t kEndMarker = 0x7FFFFFFF;
constexpr std::int32_t kTerminator = 0xFFFF; // ends the descriptors of an instruction
constexpr std::uint32_t kTargetBit = 0x80000000u;
constexpr std::uint32_t kOpcodeMask = 0x7FFFFFFFu;

// Descriptor type words. Masked with 3 they give the parameter type the
// handlers see: 0 int, 1 float, 2 string, 3 jump target or operator.
enum DescriptorType : int {
    kIntVariable = 0,
    kFloatVariable = 1,
    kStringVariable = 2,
    kJumpTarget = 3,
    kIntConstant = 4,
    kFloatConstant = 5,
    kStringConstant = 6, // padded size P, length L, then P bytes of text
    kOperator = 7,
};
constexpr int kParameterTypeMask = 3;

// Comparison operator codes; 7 and 8 are accepted but always evaluate false.
enum OperatorCode : int {
    kOpEqual = 1,
    kOpNotEqual = 2,
    kOpLess = 3,
    kOpGreater = 4,
    kOpLessEqual = 5,
    kOpGreaterEqual = 6,
    kOpMatch = 7,
    kOpNoMatch = 8,
};

// Opcodes of the built-in command rows.
enum BuiltinOpcode : int {
    kOpStop = 0,
    kOpIf,
    kOpElse,
    kOpEndif,
    kOpWhile,
    kOpWend,
    kOpRepeat,
    kOpUntil,
    kOpSetInt,
    kOpSetFloat,
    kOpSetString,
    kOpPrints,
    kOpAddInt,
    kOpAddFloat,
    kOpSubInt,
    kOpSubFloat,
    kOpMultInt,
    kOpMultFloat,
    kOpDivInt,
    kOpDivFloat,
    kOpConcat,
    kOpStrlen,
    kOpCall,
    kOpReturn,
    kOpInteger,
    kOpSetIntTarget,
    kOpSetFloatTarget,
    kOpSetStringTarget,
    kBuiltinCount
};

constexpr int kMaxParameters = 16; // descriptors of one instruction
constexpr int kCallDepth = 32;
constexpr int kMaxStringSize = 32760; // a string object in bytes: 8 + capacity

// Sums the code words from the first code word up to, not including, the
// first end marker. Returns false when no end marker lies within the words.
inline bool ProgramChecksum(std::int32_t const* program, std::uint32_t words, std::int32_t* sum) {
    std::uint32_t total = 0;
    for (std::uint32_t i = static_cast<std::uint32_t>(program[kHeaderFirstCode]); i < words; ++i) {
        if (program[i] == kEndMarker) {
            *sum = static_cast<std::int32_t>(total);
            return true;
        }
        total += static_cast<std::uint32_t>(program[i]);
    }
    return false;
}

} // namespace sil
