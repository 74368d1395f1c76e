#include "util/CFileUtilities.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "debug/QuorTrace.h"
#include "util/FileUtils.h"

namespace {

std::string const usbStickDevice("/dev/sda1");
std::string const usbStickMountPoint("/tmp");

bool IsSameFile(std::FILE* source, std::string const& target) {
    struct stat sourceStatus;
    struct stat targetStatus;
    return ::fstat(::fileno(source), &sourceStatus) == 0 &&
           ::stat(target.c_str(), &targetStatus) == 0 &&
           sourceStatus.st_dev == targetStatus.st_dev && sourceStatus.st_ino == targetStatus.st_ino;
}

void MakeWritable(std::string const& target) {
    if (::chmod(target.c_str(), 0600) == 0) {
        return;
    }
    int const error = errno;
    TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_WARNING,
                         "call of chmod() failed, errno = %d\n", error);
    if (error == EACCES) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_WARNING, "Access denied!\n");
    } else if (error == ENOENT) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_WARNING, "Path/file not found!\n");
    }
}

// Copies the rest of source into target: 0, or the code of the side that failed.
int CopyBytes(std::FILE* source, std::FILE* target) {
    int byte;
    while ((byte = std::fgetc(source)) != EOF) {
        if (std::fputc(byte, target) == EOF) {
            return CFileUtilities::COPY_TARGET_CANNOT_OPEN;
        }
    }
    return std::ferror(source) == 0 ? 0 : CFileUtilities::COPY_SOURCE_CANNOT_OPEN;
}

} // namespace

CFileUtilities::CFileUtilities() = default;

CFileUtilities::~CFileUtilities() = default;

int CFileUtilities::MountQxUsbStick() {
    int const result =
        ::mount(usbStickDevice.c_str(), usbStickMountPoint.c_str(), "vfat", 0, nullptr);
    if (result != 0) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "ERROR: mount of USB stick failed, errno = %d\n", errno);
        return result;
    }
    TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_DEBUG, "USB stick mounted successfully!\n");
    return 0;
}

int CFileUtilities::UmountQxUsbStick() {
    int const result = ::umount2(usbStickMountPoint.c_str(), MNT_FORCE);
    if (result != 0) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "ERROR: unmount of USB stick failed, errno = %d\n", errno);
    }
    return result;
}

int CFileUtilities::CopyAFile(std::string const& sourceDirectory, std::string const& sourceName,
                              std::string const& targetDirectory, std::string const& targetName) {
    std::string const source = sourceDirectory + "/" + sourceName;
    std::string const target = targetDirectory + "/" + targetName;

    std::FILE* const input = std::fopen(source.c_str(), "rb");
    if (input == nullptr) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "ERROR: Config source file cannot be opened:\n%s ! why?\n",
                             source.c_str());
        return COPY_SOURCE_CANNOT_OPEN;
    }
    // Opening the target truncates it: a copy onto itself would lose the file.
    if (IsSameFile(input, target)) {
        std::fclose(input);
        return 0;
    }
    if (utils::file::isFileExisting(target)) {
        MakeWritable(target);
    }
    std::FILE* const output = std::fopen(target.c_str(), "wb");
    if (output == nullptr) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "ERROR: Config target file cannot be opened:\n%s ! why (missing "
                             "Linux rights)?\n",
                             target.c_str());
        std::fclose(input);
        return COPY_TARGET_CANNOT_OPEN;
    }
    int result = CopyBytes(input, output);
    std::fclose(input);
    if (std::fclose(output) != 0 && result == 0) {
        result = COPY_TARGET_CANNOT_OPEN;
    }
    ::sync();
    if (result == COPY_TARGET_CANNOT_OPEN) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "ERROR: Config target file cannot be written:\n%s ! why (medium "
                             "full)?\n",
                             target.c_str());
    } else if (result == COPY_SOURCE_CANNOT_OPEN) {
        TraceFormattedString(TRACE_FILE_UTILS, TRACELEVEL_ERROR,
                             "ERROR: Config source file cannot be read:\n%s ! why?\n",
                             source.c_str());
    }
    return result;
}
