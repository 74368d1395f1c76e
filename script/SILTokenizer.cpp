#include "script/SILTokenizer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "script/SILCompiler.h"
#include "script/SILProgram.h"
#include "script/SILVariables.h"

namespace sil {

char const* const kOperatorTexts[] = {"<=", ">=", "!=", "!~", "==", "~", "=", "<", ">", nullptr};
int const kOperatorCodes[] = {kOpLessEqual, kOpGreaterEqual, kOpNotEqual, kOpNoMatch, kOpEqual,
                              kOpMatch,     kOpEqual,        kOpLess,     kOpGreater};
char const* kTwoCharacterOperators[] = {"<-", "<=", ">=", "==", "!=", "!~", nullptr};

namespace {

char const* const kSingleCharacterOperators[] = {"<", ">", "="};
char const kSeparators[] = " \t\v\f,";

// Whether the character at `i` is one of the two characters of a
// two-character operator.
bool InTwoCharacterOperator(char const* text, std::size_t i) {
    return CheckOperator(kTwoCharacterOperators, text + i) >= 0 ||
           (i > 0 && CheckOperator(kTwoCharacterOperators, text + i - 1) >= 0);
}

// Inserts a blank at `i`; false when the line would reach kLineSize.
bool InsertBlank(char* text, std::size_t& length, std::size_t i) {
    if (length + 1 >= kLineSize) {
        return false;
    }
    std::memmove(text + i + 1, text + i, length - i + 1);
    text[i] = ' ';
    ++length;
    return true;
}

int SpaceOperator(char* text, std::size_t& length, char const* op, bool single) {
    std::size_t const opLength = std::strlen(op);
    bool quoted = false;
    for (std::size_t i = 0; i < length && text[i] != '%';) {
        if (text[i] == '"') {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (quoted || std::strncmp(text + i, op, opLength) != 0 ||
            (single && InTwoCharacterOperator(text, i))) {
            ++i;
            continue;
        }
        if (i == 0) {
            return kErrLineTooLong;
        }
        if (text[i - 1] != ' ') {
            if (!InsertBlank(text, length, i)) {
                return kErrLineTooLong;
            }
            ++i;
        }
        i += opLength;
        if (text[i] != ' ' && !InsertBlank(text, length, i)) {
            return kErrLineTooLong;
        }
    }
    return 0;
}

// Replaces the bracketed names in text[from, to): a declared variable by its
// reference, anything else by the character with that decimal code. Moves
// `to` and `length` with the text.
int ReplaceBracketedNames(char* text, std::size_t& length, std::size_t from, std::size_t& to) {
    std::size_t i = from;
    while (i < to) {
        if (text[i] != '[') {
            ++i;
            continue;
        }
        char const* close = static_cast<char const*>(std::memchr(text + i + 1, ']', to - i - 1));
        if (close == nullptr) {
            break;
        }
        std::size_t const end = static_cast<std::size_t>(close - text) + 1;
        char name[kLineSize];
        std::memcpy(name, text + i + 1, end - i - 2);
        name[end - i - 2] = '\0';
        bool const at = name[0] == '@';
        char const* bare = at ? name + 1 : name;
        char replacement[32] = "";
        int const index = FindVariable(bare);
        if (index >= 0) {
            static char const kLetters[] = "xyz";
            char letter = kLetters[var[index].type];
            if (at) {
                letter = static_cast<char>(letter - 'a' + 'A');
            }
            std::snprintf(replacement, sizeof replacement, "$%c%x$", letter,
                          static_cast<unsigned>(var[index].position));
        } else {
            replacement[0] = static_cast<char>(std::strtol(bare, nullptr, 10) & 0xFF);
            replacement[1] = '\0';
        }
        std::size_t const oldLength = end - i;
        std::size_t const newLength = std::strlen(replacement);
        if (length - oldLength + newLength >= kLineSize) {
            return kErrLineTooLong;
        }
        std::memmove(text + i + newLength, text + end, length - end + 1);
        std::memcpy(text + i, replacement, newLength);
        length = length - oldLength + newLength;
        to = to - oldLength + newLength;
        i += newLength;
    }
    return 0;
}

} // namespace

int SpaceOperators(char* text) {
    std::size_t length = std::strlen(text);
    for (int i = 0; kTwoCharacterOperators[i] != nullptr; ++i) {
        if (int result = SpaceOperator(text, length, kTwoCharacterOperators[i], false)) {
            return result;
        }
    }
    for (char const* op : kSingleCharacterOperators) {
        if (int result = SpaceOperator(text, length, op, true)) {
            return result;
        }
    }
    return 0;
}

int Tokenize(T_SILLine& line) {
    char* const text = line.text;
    std::size_t length = std::strlen(text);
    line.count = 0;
    line.arrow = false;
    std::size_t i = 0;
    for (;;) {
        i += std::strspn(text + i, kSeparators);
        if (text[i] == '\0' || text[i] == '%') {
            return 0;
        }
        std::size_t const start = i;
        std::size_t end;
        if (text[i] == '"') {
            char const* close = std::strchr(text + i + 1, '"');
            std::size_t to = close != nullptr ? static_cast<std::size_t>(close - text) : length;
            if (int result = ReplaceBracketedNames(text, length, i + 1, to)) {
                return result;
            }
            end = close != nullptr ? to + 1 : to;
        } else {
            end = i + std::strcspn(text + i, kSeparators);
        }
        // The character after the token ends it and is consumed.
        i = text[end] != '\0' ? end + 1 : end;
        text[end] = '\0';
        char const* token = text + start;
        if (std::strcmp(token, "<-") == 0) {
            if (line.count != 1 || line.arrow) {
                return kErrSyntax;
            }
            line.arrow = true;
            continue;
        }
        if (line.count == kMaxTokens) {
            return kErrTooManyArguments;
        }
        line.tokens[line.count++] = token;
        if (line.count == kMaxTokens && end - start > 1) {
            return kErrTooManyArguments;
        }
    }
}

int OperatorCode(char const* token) {
    int const index = CheckOperator(const_cast<char const**>(kOperatorTexts), token);
    return index >= 0 ? kOperatorCodes[index] : 0;
}

} // namespace sil

int CheckOperator(char const** list, char const* text) {
    if (list == nullptr || text == nullptr) {
        return -1;
    }
    for (int i = 0; list[i] != nullptr; ++i) {
        if (std::strncmp(text, list[i], std::strlen(list[i])) == 0) {
            return i;
        }
    }
    return -1;
}
