#include "script/CCfgFile.h"

#include <sys/stat.h>

#include <cstring>

#include "debug/CQuorTrace.h"
#include "script/CfgBlanks.h"
#include "shell/CQshell.h"

namespace {

using cfg::IsBlank;
using cfg::SkipBlanks;

void TraceLineError(int rc, int line, char const* path) {
    if (rc == CFG_ERR_LINE_TOO_LONG) {
        TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING,
                             "Line %d in cfg file %s too long\n", line, path);
    } else if (rc == CFG_ERR_READ) {
        TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING,
                             "Error in line %d of cfg file %s\n", line, path);
    }
}

} // namespace

bool CCfgFile::file_exist(char const* path) {
    struct stat status;
    return path != nullptr && ::stat(path, &status) == 0;
}

int CCfgFile::close_file(FILE* file) {
    if (file != nullptr && std::fclose(file) != 0) {
        TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING, "CfgFile: Close file error\n");
        return CFG_ERR_CLOSE;
    }
    return 0;
}

int CCfgFile::read_line_from_file(FILE* file, char* buffer, int size) {
    if (buffer == nullptr || file == nullptr || size < 2) {
        return CFG_ERR_READ;
    }
    // fgets writes its terminator into the last byte only when it filled the
    // buffer; the marker tells so even for a line with NUL bytes in it.
    buffer[size - 1] = 1;
    if (std::fgets(buffer, size, file) == nullptr) {
        if (!std::feof(file) || std::ferror(file)) {
            return CFG_ERR_READ;
        }
        buffer[0] = '\0';
    }
    if (buffer[size - 1] == '\0' && buffer[size - 2] != '\n') {
        int c;
        do {
            c = std::getc(file);
        } while (c != '\n' && c != EOF);
        return c == EOF && std::ferror(file) ? CFG_ERR_READ : CFG_ERR_LINE_TOO_LONG;
    }
    std::size_t length = std::strlen(buffer);
    if (length == 0 && std::feof(file)) {
        return CFG_ERR_EOF;
    }
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' ||
                          buffer[length - 1] == 0x1A)) {
        buffer[--length] = '\0';
    }
    return static_cast<int>(length);
}

int CCfgFile::ReadCfgfileEx(char const* path, T_CfgFileCallback callback, char commentChar,
                            char termChar) {
    if (!file_exist(path)) {
        TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_DEBUG, "Cfg file %s not found\n",
                             path != nullptr ? path : "(null)");
        return CFG_ERR_NOT_FOUND;
    }
    FILE* const file = std::fopen(path, "rb");
    if (file == nullptr) {
        TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING, "Error opening cfg file %s\n",
                             path);
        return CFG_ERR_OPEN;
    }
    TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_DEBUG, "Reading config file %s\n", path);

    char line[CFG_LINE_BUFFER_SIZE];
    char keyword[CFG_KEYWORD_SIZE];
    int lineNr = 0;
    int rc;
    while ((rc = read_line_from_file(file, line, sizeof line)) >= 0) {
        ++lineNr;
        char* text = SkipBlanks(line);
        // No quoting: the comment character ends the line wherever it stands.
        if (char* comment = std::strchr(text, commentChar)) {
            *comment = '\0';
        }
        if (*text == '\0') {
            continue;
        }
        std::size_t length = 0;
        while (length < sizeof keyword - 1 && text[length] != '\0' && !IsBlank(text[length]) &&
               text[length] != '\n' && text[length] != '=') {
            keyword[length] = text[length];
            ++length;
        }
        keyword[length] = '\0';
        text = SkipBlanks(text + length);
        if (*text != '=') {
            TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING,
                                 "Missing equal sign in line %d in cfg file %s\n", lineNr, path);
            continue;
        }
        char* const keydata = SkipBlanks(text + 1);
        if (std::strcmp(keyword, "TERM_CHAR") == 0) {
            if (*keydata == '\0') {
                TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING,
                                     "Illegal data in line %d in cfg file %s\n", lineNr, path);
                close_file(file);
                return CFG_ERR_TERM_CHAR;
            }
            termChar = *keydata;
            continue;
        }
        if (callback != nullptr) {
            int const result = callback(keyword, keydata, path, lineNr, termChar);
            if (result != 0) {
                close_file(file);
                return result;
            }
        }
    }
    TraceLineError(rc, lineNr, path);
    return close_file(file);
}

int CCfgFile::ReadCfgfile(char const* path) {
    return ReadCfgfileEx(path, ProcessCfgfileData, '#', ',');
}

int ProcessCfgfileData(char* keyword, char* keydata, char const* path, int line, char) {
    // Runs for every line of a file: the traces cost no call while suppressed.
    if (IsTraceLineOn(TRACE_CFG_FILE, TRACELEVEL_DEBUG)) {
        TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_DEBUG,
                             "ProcessCfgfileData: Keyword: %s Keydata:%s\n", keyword, keydata);
    }
    if (std::strcmp(keyword, "QSHELL") == 0) {
        if (IsTraceLineOn(TRACE_CFG_FILE, TRACELEVEL_DEBUG)) {
            TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_DEBUG, "Calling qshell: %s\n", keydata);
        }
        return qshell.ProcessQshellCmd(keydata);
    }
    TraceFormattedString(TRACE_CFG_FILE, TRACELEVEL_WARNING,
                         "Illegal keyword in cfg file %s on line %d\n", path, line);
    return 0;
}
