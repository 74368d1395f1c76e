#include "util/CStringUtility.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

CStringUtility theStringUtility;

namespace {

// The characters TrimLeft and TrimRight remove. A constant array, so that
// other globals may trim while the library is still being initialised.
constexpr char trimSet[] = " \n\r\t";

bool IsContinuationByte(unsigned char byte) {
    return byte >= 0x80;
}

} // namespace

CStringUtility::CStringUtility() = default;

CStringUtility::~CStringUtility() = default;

std::string CStringUtility::TrimLeft(std::string const& text) const {
    std::size_t const first = text.find_first_not_of(trimSet);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string CStringUtility::TrimRight(std::string const& text) const {
    std::size_t const last = text.find_last_not_of(trimSet);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string CStringUtility::TrimLeftAndRight(std::string const& text) const {
    return TrimLeft(TrimRight(text));
}

void CStringUtility::RemoveWhitespaceFromString(std::string* text) const {
    if (text == nullptr) {
        return;
    }
    static constexpr char whitespace[] = " \t\n\r";
    text->erase(text->find_last_not_of(whitespace) + 1);
    text->erase(0, text->find_first_not_of(whitespace));
}

void CStringUtility::RemoveWhitespaceFromString(char* text) const {
    if (text == nullptr) {
        return;
    }
    std::size_t const leading = std::strspn(text, " \t");
    std::size_t length = std::strlen(text + leading);
    std::memmove(text, text + leading, length + 1);
    while (length > 0 && std::strchr("\t\n\r ", text[length - 1]) != nullptr) {
        text[--length] = '\0';
    }
}

std::string CStringUtility::ConvertIso8859StringToUtf8String(std::string text,
                                                             Q_TraceUnits /*unit*/) const {
    std::size_t const length = std::min(std::strlen(text.c_str()), maxIsoInput);
    std::string utf8;
    utf8.reserve(2 * length);
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char const byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string CStringUtility::ConvertUtf8StringToIso8859String(std::string text) const {
    // Cutting the input means reading it as if it ended after maxUtf8Input
    // bytes: a sequence that runs past the cut lacks its continuation bytes.
    if (text.size() > maxUtf8Input) {
        text.resize(maxUtf8Input);
    }
    unsigned char const* in = reinterpret_cast<unsigned char const*>(text.c_str());
    std::string iso;
    while (*in != 0 && iso.size() < maxIsoOutput) {
        unsigned char const lead = *in;
        std::size_t sequenceLength;
        if (lead < 0xC0) {
            iso += static_cast<char>(lead);
            ++in;
            continue;
        } else if (lead < 0xE0) {
            sequenceLength = 2;
        } else if (lead < 0xF0) {
            sequenceLength = 3;
        } else {
            sequenceLength = 4;
        }
        // Every continuation byte must be present; the terminating zero fails
        // the test, so nothing past the end is read.
        for (std::size_t i = 1; i < sequenceLength; ++i) {
            if (!IsContinuationByte(in[i])) {
                return iso;
            }
        }
        // The code point's low 8 bits come from the last two bytes.
        unsigned const high = sequenceLength == 2 ? lead : in[sequenceLength - 2];
        unsigned const low = in[sequenceLength - 1] & 0x3Fu;
        char const converted = static_cast<char>(((high << 6) + low) & 0xFFu);
        if (converted == '\0') {
            return iso;
        }
        iso += converted;
        in += sequenceLength;
    }
    return iso;
}

void CStringUtility::IntToString(int value, std::string& out, numBase_t base) const {
    char text[16];
    std::uint32_t const pattern = static_cast<std::uint32_t>(value);
    switch (base) {
    case NUM_BASE_OCTAL:
        std::snprintf(text, sizeof text, "o%o", static_cast<unsigned>(pattern));
        break;
    case NUM_BASE_HEXADECIMAL:
        std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(pattern));
        break;
    default:
        std::snprintf(text, sizeof text, "%d", value);
        break;
    }
    out = text;
}
