#pragma once

#include <string>

#include "debug/QuorTraceUnits.h"
#include "util/QuorExport.h"

// Number base of CStringUtility::IntToString; any value other than the octal
// and hexadecimal ones formats in decimal.
enum numBase_t : int {
    NUM_BASE_DECIMAL = 1,
    NUM_BASE_OCTAL = 2,
    NUM_BASE_HEXADECIMAL = 3,
};

// Text helpers shared by the runtime. The class holds no data; the process
// uses the one instance theStringUtility.
class QUOR_EXPORT CStringUtility {
public:
    // Longest ISO 8859-1 input that ConvertIso8859StringToUtf8String converts;
    // the rest is cut.
    static constexpr std::size_t maxIsoInput = 255;
    // Longest UTF-8 input, and most characters of the result, of
    // ConvertUtf8StringToIso8859String; anything beyond is cut.
    static constexpr std::size_t maxUtf8Input = 511;
    static constexpr std::size_t maxIsoOutput = 255;

    CStringUtility();
    ~CStringUtility();

    // Copies without the leading / trailing blanks, tabs, CRs and LFs.
    std::string TrimLeft(std::string const& text) const;
    std::string TrimRight(std::string const& text) const;
    std::string TrimLeftAndRight(std::string const& text) const;

    // In place: trailing, then leading blanks, tabs, LFs and CRs.
    void RemoveWhitespaceFromString(std::string* text) const;
    // In place: leading blanks and tabs, trailing tabs, LFs, CRs and blanks.
    void RemoveWhitespaceFromString(char* text) const;

    // ISO 8859-1 to UTF-8. The text ends at its first zero byte, and only its
    // first maxIsoInput bytes are converted. unit is not used.
    std::string ConvertIso8859StringToUtf8String(std::string text, Q_TraceUnits unit) const;

    // UTF-8 to ISO 8859-1, one output byte per sequence (the low 8 bits of
    // the code point). The result ends before the first invalid sequence or
    // code point whose low 8 bits are 0. Only the first maxUtf8Input bytes of
    // the text are read and at most maxIsoOutput characters are produced.
    std::string ConvertUtf8StringToIso8859String(std::string text) const;

    // "o" + octal, "0x" + lower-case hexadecimal (negative values as their
    // 32-bit pattern), or decimal for any other base.
    void IntToString(int value, std::string& out, numBase_t base) const;
};

QUOR_EXPORT extern CStringUtility theStringUtility;
