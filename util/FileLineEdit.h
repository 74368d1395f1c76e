#pragma once

#include <string>

#include "util/QuorExport.h"

// Line edits of small text files (configuration lists). Lines are compared
// without their trailing blanks, tabs, CRs and LFs. A file keeps the line
// ending of its first line ("\r\n" or "\n"). Lines longer than the read buffer
// (4099 characters) are handled in pieces, each piece as a line of its own.
// The kept lines of a rewritten file are always ended, the last one included.

enum : int {
    APPEND_LINE_CANNOT_READ = -2407,
    APPEND_LINE_CANNOT_APPEND = -2408,
    DELETE_LINE_CANNOT_READ = -2413,
    DELETE_LINE_CANNOT_REMOVE = -2414,
    DELETE_LINE_CANNOT_RENAME = -2415,
};

// Appends line and the file's line ending; creates the file (ending "\n") if
// it does not exist. With skipIfPresent nothing is written when the file
// already holds the line. 0, or one of the APPEND_LINE_ codes.
QUOR_EXPORT int AppendLineToFileEx(std::string const& file, std::string const& line,
                                   bool skipIfPresent);

// Rewrites file without any line equal to line; every kept line loses its
// trailing whitespace and gets the file's line ending. 0 also when the file
// does not exist or is empty, or when no temporary file can be made (then
// nothing changes); otherwise one of the DELETE_LINE_ codes.
QUOR_EXPORT int DeleteLineFromFileEx(std::string const& file, std::string const& line);
