#pragma once

#include <fcntl.h>
#include <limits.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "util/FileTestSupport.h"

// The trace directories are fixed paths under /tmp and /mnt. As root, a test
// process gets its own mount table with empty tmpfs over both, so what it
// creates there is seen by no other process (its children included) and
// goes away with it. The build tree stays reachable when it lies under /tmp:
// its top directory is bound back into the new /tmp.
class PrivateTraceDirs {
public:
    // False when the process may not mount (not root): the caller skips.
    bool Enter() {
        if (geteuid() != 0 || !testfs::EnterPrivateMountNamespace()) {
            return false;
        }
        int const oldTmp = ::open("/tmp", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (oldTmp < 0 || ::mount("tmpfs", "/tmp", "tmpfs", 0, "size=16m,mode=1777") != 0 ||
            ::mount("tmpfs", "/mnt", "tmpfs", 0, "size=16m") != 0) {
            return false;
        }
        char self[PATH_MAX] = {};
        std::string exe;
        if (::readlink("/proc/self/exe", self, sizeof self - 1) > 0) {
            exe = self;
        }
        bool kept = true;
        if (exe.rfind("/tmp/", 0) == 0) {
            std::string const top = exe.substr(5, exe.find('/', 5) - 5);
            std::string const old = "/proc/self/fd/" + std::to_string(oldTmp) + "/" + top;
            kept = ::mkdir(("/tmp/" + top).c_str(), 0755) == 0 &&
                   ::mount(old.c_str(), ("/tmp/" + top).c_str(), nullptr, MS_BIND | MS_REC,
                           nullptr) == 0;
        }
        ::close(oldTmp);
        return kept;
    }
};
