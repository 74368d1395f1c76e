#include "debug/LogFileFunctions.h"

#include <sys/stat.h>

#include "debug/CPwiLog.h"

long get_file_size(char const* file) {
    struct stat status;
    if (file == nullptr || ::stat(file, &status) != 0) {
        return CPwiLog::SIZE_UNREADABLE;
    }
    return static_cast<long>(status.st_size);
}

int close_file(std::FILE* stream) {
    if (stream == nullptr) {
        return 0;
    }
    // An error left from an earlier write must not fail this flush; a failed
    // flush must not stop the close from releasing the stream.
    std::clearerr(stream);
    bool const flushed = std::fflush(stream) == 0;
    if (!flushed) {
        std::clearerr(stream);
    }
    if (std::fclose(stream) != 0) {
        return CPwiLog::CLOSE_FAILED;
    }
    return flushed ? 0 : CPwiLog::FLUSH_FAILED;
}
