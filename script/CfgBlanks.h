#pragma once

// Blanks as configuration files know them: spaces and tabs, never line ends.
namespace cfg {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

inline char* SkipBlanks(char* text) {
    while (IsBlank(*text)) {
        ++text;
    }
    return text;
}

} // namespace cfg
