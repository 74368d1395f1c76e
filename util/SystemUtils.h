#pragma once

#include <string>

#include "util/QuorExport.h"

// Mounting and running shell commands. Failures trace at unit 20, level 40.
namespace utils {

// mount(2) with no flags and no data.
QUOR_EXPORT bool mount(std::string const& source, std::string const& target,
                       char const* fileSystemType);
QUOR_EXPORT bool umount(std::string const& target);

// Runs command with "/bin/sh -c" in an empty environment and waits for it.
// 0 when it ran and exited with status 0, -1 otherwise.
QUOR_EXPORT int call_spawn(std::string const& command);

} // namespace utils
