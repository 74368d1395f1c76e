#pragma once

#include <string>

// One parsed command line, as a command handler receives it: the command word
// and up to QSHELL_MAX_PARAMS parameters, each a number or a text.

constexpr int QSHELL_MAX_PARAMS = 256;
// Words of this length or more are refused by the parser.
constexpr int QSHELL_MAX_WORD_LENGTH = 512;
constexpr int QSHELL_ERROR_TEXT_SIZE = 200;

// Parameter types.
enum : int {
    QSHELL_PARAM_NUMBER = 1,
    QSHELL_PARAM_TEXT = 2,
};

// Result codes of the shell and of command handlers.
enum : int {
    QSHELL_ERR_PARAM_MISSING = -1601,   // a required parameter is missing
    QSHELL_ERR_PARAM1 = -1602,          // the first parameter is unusable
    QSHELL_ERR_PARAM2 = -1603,          // the second parameter is unusable
    QSHELL_ERR_UNKNOWN_COMMAND = -1700, // no command of that name
    QSHELL_ERR_SOCKET = -1702,          // the shell's socket failed
    QSHELL_ERR_PARSE = -1703,           // the line could not be parsed
};

struct T_CommandParam {
    int m_type;         // QSHELL_PARAM_NUMBER or QSHELL_PARAM_TEXT
    int m_reserved;     // always 0
    long m_value;       // valid for a number
    std::string m_text; // the word as written, for both types
};

struct CommandStruct {
    std::string m_cmdName;
    int m_paramCount = 0;
    T_CommandParam m_param[QSHELL_MAX_PARAMS] = {};
    // The whole line after backspace processing.
    std::string m_inputLine;
    // A short reason after a parse failure.
    char m_errorText[QSHELL_ERROR_TEXT_SIZE] = {};
};

// A command handler: reads the CommandStruct, prints its answer through
// StreamToStdout / FormattedStringToStdout, returns 0 or a negative code.
typedef int (*T_QshellFunction)(CommandStruct* cs);
