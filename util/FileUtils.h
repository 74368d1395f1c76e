#pragma once

#include <string>

#include "util/QuorExport.h"

// File-system tests and single calls. Failures return false (0 for
// getSizeOfFile) and trace "<name>() failed on '<path>'! errno: <text>" at
// unit 20, level 40.
namespace utils {
namespace file {

// True when path names a regular file (links are followed).
QUOR_EXPORT bool isFileExisting(char const* path);
QUOR_EXPORT bool isFileExisting(std::string const& path);
// Tests directory + "/" + name.
QUOR_EXPORT bool isFileExisting(std::string const& directory, std::string const& name);

// True when path names a directory; false for an empty path.
QUOR_EXPORT bool isDirectoryExisting(std::string const& path);

// mkdir with mode 0777 (less the umask).
QUOR_EXPORT bool createDirectory(char const* path);
// Creates (or truncates) path with mode 0777 (less the umask).
QUOR_EXPORT bool createFile(char const* path);
// Removes a file or an empty directory.
QUOR_EXPORT bool remove(std::string const& path);

// Size in KiB, rounded down; a link counts as itself. 0 when it cannot be read.
QUOR_EXPORT long getSizeOfFile(std::string const& path);

// Swap areas. swapoff of something that is not an active swap area (EINVAL)
// traces at level 10 only, as callers use it to make sure swap is off.
QUOR_EXPORT bool swapon(std::string const& device, int flags);
QUOR_EXPORT bool swapoff(std::string const& device);

} // namespace file
} // namespace utils
