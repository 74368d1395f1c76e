#pragma once

#include <cstdio>

#include "util/QuorExport.h"

// Result codes of the configuration-file reader.
enum : int {
    CFG_ERR_READ = -2300,          // no buffer, or the stream failed
    CFG_ERR_EOF = -2301,           // end of file (line reader only)
    CFG_ERR_LINE_TOO_LONG = -2302, // line too long (line reader only)
    CFG_ERR_CLOSE = -2303,         // closing the file failed
    CFG_ERR_NOT_FOUND = -2305,     // the file does not exist
    CFG_ERR_OPEN = -2306,          // the file exists but cannot be opened
    CFG_ERR_TERM_CHAR = -2307,     // TERM_CHAR without data
};

// Line buffer of the reader: a line holds at most CFG_LINE_BUFFER_SIZE - 2
// characters before its line end.
constexpr int CFG_LINE_BUFFER_SIZE = 1999;
// Keyword buffer: at most CFG_KEYWORD_SIZE - 1 characters.
constexpr int CFG_KEYWORD_SIZE = 64;

// Called for every keyword line: keyword, its data (the rest of the line,
// trailing blanks included), the file, the line number (from 1) and the item
// terminator in force. A non-zero result ends the file with that result.
typedef int (*T_CfgFileCallback)(char* keyword, char* keydata, char const* path, int line,
                                 char termChar);

// Reads configuration files: lines of the form "KEYWORD = keydata", with
// comments from the comment character to the end of the line. The keyword
// TERM_CHAR sets the terminator handed to the callbacks of later lines.
// Keeps no state; any thread may use its own or a shared object.
class QUOR_EXPORT CCfgFile {
public:
    CCfgFile() {}
    ~CCfgFile() {}

    int Init() { return 0; }

    // 0 when the file was read to its end or up to a line error (traced);
    // CFG_ERR_NOT_FOUND, CFG_ERR_OPEN, CFG_ERR_TERM_CHAR, CFG_ERR_CLOSE, or
    // the callback's non-zero result.
    int ReadCfgfileEx(char const* path, T_CfgFileCallback callback, char commentChar,
                      char termChar);
    // With ProcessCfgfileData, comments from '#', items ended by ','.
    int ReadCfgfile(char const* path);

    // True when stat() of path succeeds.
    bool file_exist(char const* path);
    // Reads one line into buffer (size bytes) and strips trailing CR, LF and
    // 0x1A. Returns the remaining length, CFG_ERR_EOF, CFG_ERR_READ, or
    // CFG_ERR_LINE_TOO_LONG when the line does not fit (the rest of that line
    // is then read and dropped).
    int read_line_from_file(FILE* file, char* buffer, int size);
    // 0, or CFG_ERR_CLOSE when fclose fails. A null stream is left alone.
    int close_file(FILE* file);
};

// The standard callback: the keyword QSHELL runs its keydata as a debug-shell
// command line on the global qshell and returns the command's result; any
// other keyword is traced and ignored.
QUOR_EXPORT int ProcessCfgfileData(char* keyword, char* keydata, char const* path, int line,
                                   char termChar);
