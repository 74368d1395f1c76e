#pragma once

#include <string>

#include "util/QuorExport.h"

// Copying configuration files and mounting the USB stick ("/dev/sda1", vfat)
// on "/tmp". Failures trace at unit 20.
class QUOR_EXPORT CFileUtilities {
public:
    enum : int {
        COPY_SOURCE_CANNOT_OPEN = -2405,
        // The target cannot be opened, or writing it failed.
        COPY_TARGET_CANNOT_OPEN = -2406,
    };

    CFileUtilities();
    virtual ~CFileUtilities();

    // 0, or the result of mount(2) (-1) with an error trace.
    int MountQxUsbStick();
    // Forced unmount; the result of umount2(2).
    int UmountQxUsbStick();

    // Copies sourceDirectory/sourceName to targetDirectory/targetName byte by
    // byte, replacing the target (a read-only target is made writable, 0600
    // first), then syncs. 0, or one of the COPY_ codes. Copying a file onto
    // itself changes nothing and returns 0.
    int CopyAFile(std::string const& sourceDirectory, std::string const& sourceName,
                  std::string const& targetDirectory, std::string const& targetName);
};
