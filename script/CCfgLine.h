#pragma once

#include <string>

#include "util/QuorExport.h"

// Splits a keydata text into items separated by a terminator character. A
// blank terminator also ends items at tabs, a tab terminator also at blanks;
// for those, runs of blanks and tabs count as one separator.
class QUOR_EXPORT CCfgLine {
public:
    CCfgLine() {}

    // Starts at text (owned by the caller, which keeps it alive). Returns 0.
    int SetLine(char* text, char termChar);
    // The next item without its surrounding blanks and tabs ("" at the end).
    // Returns 0.
    int GetNextString(std::string* item);
    // The next item as an int: hexadecimal after "0x" or "0X", else decimal
    // with an optional sign; what follows the number is ignored. 0, or -1
    // for an empty item or one that holds no number in the range of an int
    // (hexadecimal values up to 0xFFFFFFFF keep their bit pattern).
    int GetNextInt(int* value);

private:
    char* m_position = nullptr;
    char m_termChar = 0;
};

// Copies the next item of text into item (at most itemSize - 1 characters,
// always terminated) and returns where the following item starts. A longer
// item is cut; the returned position is past all of it.
QUOR_EXPORT char* GetNextItemFromString(char* text, char* item, int itemSize, char termChar);

// Removes leading and trailing blanks and tabs from text in place. Returns 0.
QUOR_EXPORT int RemoveWhitespaceFromString(char* text);
