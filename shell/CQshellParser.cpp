// The command-line parser: words split on blanks, tabs, commas and line
// ends, no quoting; the first word is the command, every further word a
// number or a text parameter.
#include <cstdlib>
#include <cstring>

#include "debug/QuorTrace.h"
#include "shell/CQshell.h"
#include "util/Strlcpy.h"

namespace {

constexpr char wordDelimiters[] = "\n\r \t,";
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
    std::string words(line);
    CleanString(&words);
    cs->m_inputLine = words;
    char* rest = nullptr;
    bool first = true;
    for (char* word = strtok_r(&words[0], wordDelimiters, &rest); word != nullptr;
         word = strtok_r(nullptr, wordDelimiters, &rest)) {
        if (std::strlen(word) >= static_cast<std::size_t>(QSHELL_MAX_WORD_LENGTH)) {
            FormattedStringToStdout("Too long item %s\n", word);
            SetErrorText(cs, "split string error");
            return QSHELL_ERR_PARSE;
        }
        if (first) {
            cs->m_cmdName = word;
            first = false;
        } else if (SetCommandParam(cs, word) == QSHELL_ERR_PARSE) {
            SetErrorText(cs, "SetCommandParam error");
            return QSHELL_ERR_PARSE;
        }
    }
    return 0;
}

int CQshell::SetCommandParam(CommandStruct* cs, char const* word) {
    if (cs == nullptr || word == nullptr) {
        return RefuseNull(cs);
    }
    if (cs->m_paramCount >= QSHELL_MAX_PARAMS) {
        FormattedStringToStdout("Invalid parameter count %d\n", cs->m_paramCount);
        return QSHELL_ERR_PARSE;
    }
    T_CommandParam& param = cs->m_param[cs->m_paramCount];
    param.m_type =
        Convert_Atoi(word, &param.m_value) == 0 ? QSHELL_PARAM_NUMBER : QSHELL_PARAM_TEXT;
    param.m_reserved = 0;
    param.m_text = word;
    ++cs->m_paramCount;
    return 0;
}

int CQshell::Convert_Atoi(char const* text, long* value) {
    if (text == nullptr || value == nullptr) {
        return QSHELL_ERR_PARSE;
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
