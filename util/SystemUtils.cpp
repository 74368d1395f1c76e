#include "util/SystemUtils.h"

#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "debug/QuorTrace.h"
#include "util/FailureTrace.h"

namespace utils {

bool mount(std::string const& source, std::string const& target, char const* fileSystemType) {
    if (::mount(source.c_str(), target.c_str(), fileSystemType, 0, nullptr) != 0) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR, "mount() failed! errno: %s\n",
                             std::strerror(errno));
        return false;
    }
    return true;
}

bool umount(std::string const& target) {
    if (::umount(target.c_str()) != 0) {
        detail::TraceFailedCall(TRACELEVEL_ERROR, "umount", target.c_str(), errno);
        return false;
    }
    return true;
}

int call_spawn(std::string const& command) {
    char shell[] = "/bin/sh";
    char name[] = "sh";
    char option[] = "-c";
    std::string commandCopy(command);
    char* const arguments[] = {name, option, &commandCopy[0], nullptr};
    char* const environment[] = {nullptr};

    pid_t child;
    int const spawnResult = posix_spawn(&child, shell, nullptr, nullptr, arguments, environment);
    if (spawnResult != 0) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "call_spawn() failed on '%s'! posix_spawn: %s\n", command.c_str(),
                             std::strerror(spawnResult));
        return -1;
    }
    int status;
    pid_t waited;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR, "call_spawn() waitpid\n");
        return -1;
    }
    return status == 0 ? 0 : -1;
}

} // namespace utils
