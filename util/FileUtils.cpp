#include "util/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/swap.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "debug/QuorTrace.h"
#include "util/FailureTrace.h"

namespace utils {
namespace file {

namespace {

bool Fail(char const* function, char const* path) {
    detail::TraceFailedCall(TRACELEVEL_ERROR, function, path, path != nullptr ? errno : EINVAL);
    return false;
}

} // namespace

bool isFileExisting(char const* path) {
    struct stat status;
    return path != nullptr && ::stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

bool isFileExisting(std::string const& path) {
    return isFileExisting(path.c_str());
}

bool isFileExisting(std::string const& directory, std::string const& name) {
    return isFileExisting(directory + "/" + name);
}

bool isDirectoryExisting(std::string const& path) {
    if (path.empty() || ::access(path.c_str(), F_OK) != 0) {
        return false;
    }
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool createDirectory(char const* path) {
    if (path == nullptr || ::mkdir(path, 0777) != 0) {
        return Fail("createDirectory", path);
    }
    return true;
}

bool createFile(char const* path) {
    int const descriptor = path != nullptr ? ::creat(path, 0777) : -1;
    if (descriptor < 0) {
        return Fail("createFile", path);
    }
    ::close(descriptor);
    return true;
}

bool remove(std::string const& path) {
    if (std::remove(path.c_str()) != 0) {
        return Fail("remove", path.c_str());
    }
    return true;
}

long getSizeOfFile(std::string const& path) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0) {
        Fail("getSizeOfFile", path.c_str());
        return 0;
    }
    return static_cast<long>(status.st_size / 1024);
}

bool swapon(std::string const& device, int flags) {
    if (::swapon(device.c_str(), flags) != 0) {
        return Fail("swapon", device.c_str());
    }
    return true;
}

bool swapoff(std::string const& device) {
    if (::swapoff(device.c_str()) != 0) {
        int const error = errno;
        detail::TraceFailedCall(error == EINVAL ? TRACELEVEL_DEBUG : TRACELEVEL_ERROR, "swapoff",
                                device.c_str(), error);
        return false;
    }
    return true;
}

} // namespace file
} // namespace utils
