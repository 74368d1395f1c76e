#include <cctype>
#include <cstring>

#include "script/SILCommandTable.h"
#include "script/SILCompileState.h"
#include "script/SILCompiler.h"

namespace sil {

namespace {

bool IsUpper(char c) {
    return std::isupper(static_cast<unsigned char>(c)) != 0;
}
bool IsLower(char c) {
    return std::islower(static_cast<unsigned char>(c)) != 0;
}

// Whether the argument letters of a line fit a row's signature letters.
// Returns 0, kErrArgumentCount or kErrTypeMismatch (with the argument number).
int Fit(char const* signature, char const* letters, int* badArgument) {
    bool const lineHasTarget = IsUpper(letters[0]);
    if (lineHasTarget && IsLower(signature[0])) {
        return kErrArgumentCount;
    }
    if (!lineHasTarget && IsUpper(signature[0])) {
        ++signature; // no target given: the row's target letter is skipped
    }
    bool optional = false;
    for (int i = 0;; ++signature) {
        if (*signature == ':') {
            optional = true;
            continue;
        }
        if (letters[i] == '\0') {
            return *signature == '\0' || optional ? 0 : kErrArgumentCount;
        }
        if (*signature == '\0') {
            return kErrArgumentCount;
        }
        if (*signature != 'x' && *signature != letters[i]) {
            *badArgument = i + 1;
            return kErrTypeMismatch;
        }
        ++i;
    }
}

} // namespace

int MatchSignature(char const* word, char const* letters, int* badArgument) {
    int result = kErrUnknownCommand;
    std::size_t const wordLength = std::strlen(word);
    for (int row = 0; row < numcmd; ++row) {
        char const* text = commands[row].nameAndSignature;
        int const length = CommandWordLength(text);
        if (static_cast<std::size_t>(length) != wordLength ||
            std::strncmp(text, word, wordLength) != 0) {
            continue;
        }
        char const* signature = text[length] == ' ' ? text + length + 1 : text + length;
        int bad = 0;
        result = Fit(signature, letters, &bad);
        if (result == 0) {
            return row;
        }
        *badArgument = bad;
    }
    return result;
}

} // namespace sil
