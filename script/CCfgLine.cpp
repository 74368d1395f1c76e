#include "script/CCfgLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "debug/QuorTrace.h"
#include "script/CfgBlanks.h"

namespace {

using cfg::IsBlank;
using cfg::SkipBlanks;

// An item holds at most this many characters.
constexpr int kItemSize = 2000;
// Only this many characters of an item are looked at as a number.
constexpr std::size_t kNumberWidth = 30;

void TraceText(char const* text, std::string const& detail = std::string()) {
    if (GetTraceActivationState(TRACE_CFG_FILE) <= TRACELEVEL_INFO) {
        std::ostringstream line;
        line << text << detail << "\n";
        TraceStream(TRACE_CFG_FILE, TRACELEVEL_INFO, line);
    }
}

// Converts the start of text as hexadecimal (base 16) or decimal (base 10),
// as a scan of "%x" or "%d" into an int would; false when no digit is there
// or the value does not fit.
bool ConvertNumber(std::string const& text, int base, int* value) {
    std::string const number = text.substr(0, kNumberWidth);
    char* end = nullptr;
    errno = 0;
    if (base == 16) {
        unsigned long long const parsed = std::strtoull(number.c_str(), &end, 16);
        if (end == number.c_str() || errno == ERANGE || parsed > 0xFFFFFFFFull) {
            return false;
        }
        *value = static_cast<int>(static_cast<unsigned>(parsed));
        return true;
    }
    long long const parsed = std::strtoll(number.c_str(), &end, 10);
    if (end == number.c_str() || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

} // namespace

char* GetNextItemFromString(char* text, char* item, int itemSize, char termChar) {
    bool const blankTerm = IsBlank(termChar);
    auto const isStop = [termChar, blankTerm](char c) {
        return c == termChar || (blankTerm && IsBlank(c));
    };
    int const capacity = item != nullptr && itemSize > 0 ? itemSize - 1 : 0;
    if (item != nullptr && itemSize > 0) {
        item[0] = '\0';
    }
    if (text == nullptr) {
        return nullptr;
    }
    char* position = SkipBlanks(text);
    if (*position == '\0') {
        return position;
    }
    if (*position == termChar && !blankTerm) {
        return position + 1;
    }
    int length = 0;
    while (*position != '\0' && !isStop(*position) && length < capacity) {
        item[length++] = *position++;
    }
    if (item != nullptr && itemSize > 0) {
        item[length] = '\0';
    }
    if (blankTerm) {
        // The cut part of an over-long item is not the next item.
        while (*position != '\0' && !isStop(*position)) {
            ++position;
        }
        return SkipBlanks(position);
    }
    position = SkipBlanks(position);
    // A NUL terminator ends the item only at the end of the text, which is
    // never stepped over.
    if (*position == '\0' || termChar == '\0') {
        return position + std::strlen(position);
    }
    if (*position == termChar) {
        return position + 1;
    }
    char* const next = std::strchr(position, termChar);
    return next != nullptr ? next + 1 : position + std::strlen(position);
}

int RemoveWhitespaceFromString(char* text) {
    if (text == nullptr) {
        return 0;
    }
    char const* const start = SkipBlanks(text);
    std::size_t length = std::strlen(start);
    while (length > 0 && IsBlank(start[length - 1])) {
        --length;
    }
    std::memmove(text, start, length);
    text[length] = '\0';
    return 0;
}

int CCfgLine::SetLine(char* text, char termChar) {
    m_position = text;
    m_termChar = termChar;
    return 0;
}

int CCfgLine::GetNextString(std::string* item) {
    char buffer[kItemSize];
    buffer[0] = '\0';
    if (m_position != nullptr) {
        m_position = GetNextItemFromString(m_position, buffer, sizeof buffer, m_termChar);
        RemoveWhitespaceFromString(buffer);
    }
    if (item != nullptr) {
        *item = buffer;
    }
    return 0;
}

int CCfgLine::GetNextInt(int* value) {
    std::string item;
    GetNextString(&item);
    TraceText("Int-String found : ", item);
    if (item.empty()) {
        TraceText("Int-String empty");
        return -1;
    }
    int base = 10;
    if (item.compare(0, 2, "0x") == 0 || item.compare(0, 2, "0X") == 0) {
        TraceText("Int-String is hex value");
        base = 16;
    } else {
        TraceText("Int-String is dec value");
    }
    int converted = 0;
    if (!ConvertNumber(item, base, &converted)) {
        TraceText("Int-String CONVERSION ERROR");
        return -1;
    }
    if (value != nullptr) {
        *value = converted;
    }
    TraceText("Int read : ", std::to_string(converted));
    return 0;
}
