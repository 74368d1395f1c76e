#pragma once

#include <cstdio>
#include <string>

#include "util/QuorExport.h"

// Directory names and temporary files.

// Strips the whitespace around a directory name and makes it end in exactly
// one "/" ("" becomes "/"). Returns the length after the whitespace removal,
// before the slash is added. The character form needs room for one more
// character in the caller's buffer.
QUOR_EXPORT int TunePathString(std::string* path);
QUOR_EXPORT int TunePathCharString(char* path);

// Longest file name OpenTempFile builds (directory, "/", "_QuorTemp.XXXXXX").
constexpr std::size_t maxTempFileName = 4097;

// Creates and opens a new file directory + "/_QuorTemp.XXXXXX" (the X's made
// unique) with fopen mode `mode`. Stores its name in nameOut when given.
// Null when the name is too long or the file cannot be created or opened.
QUOR_EXPORT std::FILE* OpenTempFile(char const* directory, std::string* nameOut, char const* mode);

// The part after the last "/" (the whole text when there is none).
QUOR_EXPORT void GetFilenameFromFullname(std::string const* full, std::string* name);
// The part up to and including the last "/" ("" when there is none).
QUOR_EXPORT void GetPathnameFromFullname(std::string const* full, std::string* path);
