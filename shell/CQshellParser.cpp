// The command-line parser: words split on blanks, tabs, commas and line
// ends, no quoting; the first word is the command, every further word a
// number or a text parameter.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "debug/QuorTrace.h"
#include "shell/CQshell.h"
#include "util/Strlcpy.h"

namespace {

bool IsWordDelimiter(char c) {
    return c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r';
}
constexpr char deleteCharacter = 0x7F;

void SetErrorText(CommandStruct* cs, char const* text) {
    strlcpy(cs->m_errorText, text, sizeof cs->m_errorText);
}

int RefuseNull(CommandStruct* cs) {
    FormattedStringToStdout("Null command or param\n");
    if (cs != nullptr) {
        SetErrorText(cs, "Command param error");
    }
    return QSHELL_ERR_PARSE;
}

// strtol over the whole text in this base; the value is stored also when
// characters are left over.
bool ParseWhole(char const* text, int base, long* value) {
    char* end = nullptr;
    *value = std::strtol(text, &end, base);
    return end != text && *end == '\0';
}

} // namespace

int CQshell::ParseQshellCmd(char const* line, CommandStruct* cs) {
    return GetCommand(cs, line);
}

int CQshell::GetCommand(CommandStruct* cs, char const* line) {
    if (cs == nullptr || line == nullptr) {
        return RefuseNull(cs);
    }
    // The words are cut from the cleaned line in place: each is copied once,
    // into the name or its parameter.
    std::string& words = cs->m_inputLine;
    // One pass finds the end of a line without DEL, the usual case.
    char const* const end = strchrnul(line, deleteCharacter);
    if (*end == '\0') {
        words.assign(line, static_cast<std::size_t>(end - line));
    } else {
        words.assign(line);
        CleanString(&words);
    }
    char const* next = words.c_str();
    bool first = true;
    while (true) {
        while (IsWordDelimiter(*next)) {
            ++next;
        }
        if (*next == '\0') {
            return 0;
        }
        char const* const word = next;
        while (*next != '\0' && !IsWordDelimiter(*next)) {
            ++next;
        }
        auto const length = static_cast<std::size_t>(next - word);
        if (length >= static_cast<std::size_t>(QSHELL_MAX_WORD_LENGTH)) {
            FormattedStringToStdout("Too long item %.*s\n", static_cast<int>(length), word);
            SetErrorText(cs, "split string error");
            return QSHELL_ERR_PARSE;
        }
        if (first) {
            cs->m_cmdName.assign(word, length);
            first = false;
        } else if (AppendCommandParam(cs, word, length) == QSHELL_ERR_PARSE) {
            SetErrorText(cs, "SetCommandParam error");
            return QSHELL_ERR_PARSE;
        }
    }
}

int CQshell::SetCommandParam(CommandStruct* cs, char const* word) {
    if (cs == nullptr || word == nullptr) {
        return RefuseNull(cs);
    }
    return AppendCommandParam(cs, word, std::strlen(word));
}

int CQshell::AppendCommandParam(CommandStruct* cs, char const* word, std::size_t length) {
    if (cs->m_paramCount >= QSHELL_MAX_PARAMS) {
        FormattedStringToStdout("Invalid parameter count %d\n", cs->m_paramCount);
        return QSHELL_ERR_PARSE;
    }
    T_CommandParam& param = cs->m_param[cs->m_paramCount];
    // The number is read from the copy, which is terminated.
    param.m_text.assign(word, length);
    param.m_type = Convert_Atoi(param.m_text.c_str(), &param.m_value) == 0 ? QSHELL_PARAM_NUMBER
                                                                           : QSHELL_PARAM_TEXT;
    param.m_reserved = 0;
    ++cs->m_paramCount;
    return 0;
}

int CQshell::Convert_Atoi(char const* text, long* value) {
    if (text == nullptr || value == nullptr) {
        return QSHELL_ERR_PARSE;
    }
    // Most texts are words: from a text that starts with a letter (never a
    // blank, sign or digit in any locale) strtol converts nothing and stores 0.
    auto const first = static_cast<unsigned char>(text[0] | 0x20);
    if (first >= 'a' && first <= 'z') {
        *value = 0;
        return QSHELL_ERR_PARSE;
    }
    // A short run of decimal digits, the usual number, is read here: it fits
    // a long, so strtol would give the same value.
    long number = 0;
    int digits = 0;
    while (digits < std::numeric_limits<long>::digits10 && text[digits] >= '0' &&
           text[digits] <= '9') {
        number = number * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits > 0 && text[digits] == '\0') {
        *value = number;
        return 0;
    }
    if (ParseWhole(text, 10, value)) {
        return 0;
    }
    if (std::strncmp(text, "0x", 2) == 0 && ParseWhole(text, 16, value)) {
        return 0;
    }
    return QSHELL_ERR_PARSE;
}

void CQshell::InitCommandStruct(CommandStruct* cs) {
    cs->m_cmdName.clear();
    cs->m_inputLine.clear();
    cs->m_paramCount = 0;
}

void CQshell::CleanString(std::string* text) {
    std::size_t i = text->find(deleteCharacter);
    while (i < text->size()) {
        if ((*text)[i] != deleteCharacter) {
            ++i;
        } else if (i == 0) {
            text->erase(0, 1);
        } else {
            text->erase(i - 1, 2);
            --i;
        }
    }
}

void CQshell::DumpString(char const* text) {
    FormattedStringToStdout("Dumping string\n");
    for (char const* c = text; c != nullptr && *c != '\0'; ++c) {
        FormattedStringToStdout("%x = %c\n", static_cast<unsigned char>(*c), *c);
    }
}
