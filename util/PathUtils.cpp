#include "util/PathUtils.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "util/CStringUtility.h"
#include "util/Strlcpy.h"

namespace {

constexpr std::size_t tempNameBufferSize = 4100;
constexpr char tempNameTemplate[] = "_QuorTemp.XXXXXX";

} // namespace

int TunePathString(std::string* path) {
    if (path == nullptr) {
        return 0;
    }
    theStringUtility.RemoveWhitespaceFromString(path);
    int const length = static_cast<int>(path->size());
    if (path->empty() || path->back() != '/') {
        path->push_back('/');
    }
    return length;
}

int TunePathCharString(char* path) {
    if (path == nullptr) {
        return 0;
    }
    theStringUtility.RemoveWhitespaceFromString(path);
    std::size_t const length = std::strlen(path);
    if (length == 0 || path[length - 1] != '/') {
        path[length] = '/';
        path[length + 1] = '\0';
    }
    return static_cast<int>(length);
}

std::FILE* OpenTempFile(char const* directory, std::string* nameOut, char const* mode) {
    if (directory == nullptr || mode == nullptr) {
        return nullptr;
    }
    // One byte more than the name may use, for the slash that tuning adds.
    char name[tempNameBufferSize + 1];
    strlcpy(name, directory, tempNameBufferSize);
    TunePathCharString(name);
    // A directory cut by the copy always ends up too long here.
    if (strlcat(name, tempNameTemplate, tempNameBufferSize) > maxTempFileName) {
        return nullptr;
    }
    int const descriptor = mkstemp(name);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* const stream = fdopen(descriptor, mode);
    if (stream == nullptr) {
        unlink(name);
        close(descriptor);
        return nullptr;
    }
    if (nameOut != nullptr) {
        *nameOut = name;
    }
    return stream;
}

void GetFilenameFromFullname(std::string const* full, std::string* name) {
    if (full == nullptr || name == nullptr) {
        return;
    }
    std::size_t const slash = full->rfind('/');
    *name = slash == std::string::npos ? *full : full->substr(slash + 1);
}

void GetPathnameFromFullname(std::string const* full, std::string* path) {
    if (full == nullptr || path == nullptr) {
        return;
    }
    std::size_t const slash = full->rfind('/');
    *path = slash == std::string::npos ? std::string() : full->substr(0, slash + 1);
}
