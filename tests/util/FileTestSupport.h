#pragma once

// Helpers for tests that work on real files: a private temporary directory,
// whole-file reads and writes, trace capture, private mounts, and running a
// piece of a test without root's rights.

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "debug/CQuorTrace.h"
#include "support/TraceCapture.h"

namespace testfs {

inline std::string ReadFile(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteFile(std::string const& path, std::string const& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << path;
}

inline bool Exists(std::string const& path) {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

// Entries of directory, "." and ".." and hidden ones not counted.
inline int EntryCount(std::string const& directory) {
    int count = 0;
    DIR* const dir = ::opendir(directory.c_str());
    while (dirent const* entry = dir != nullptr ? ::readdir(dir) : nullptr) {
        count += entry->d_name[0] != '.';
    }
    if (dir != nullptr) {
        ::closedir(dir);
    }
    return count;
}

inline mode_t ModeOf(std::string const& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A fresh directory under the test temporary directory, removed with all it
// holds when the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern = testing::TempDir() + "quor_test_XXXXXX";
        if (::mkdtemp(&pattern[0]) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed: " << std::strerror(errno);
        }
        m_path = pattern;
    }
    ~TempDir() {
        // Directories a test made read-only must be writable again first.
        ::nftw(m_path.c_str(), MakeDirectoryWritable, 16, FTW_PHYS);
        ::nftw(m_path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(TempDir const&) = delete;
    TempDir& operator=(TempDir const&) = delete;

    std::string const& Path() const { return m_path; }
    std::string operator/(std::string const& name) const { return m_path + "/" + name; }

private:
    static int MakeDirectoryWritable(char const* path, struct stat const*, int type, FTW*) {
        if (type == FTW_D || type == FTW_DNR) {
            ::chmod(path, 0700);
        }
        return 0;
    }
    static int RemoveEntry(char const* path, struct stat const*, int, FTW*) {
        ::remove(path);
        return 0;
    }

    std::string m_path;
};

// Gives this test process its own copy of the mount table: what the test
// mounts is seen by no other process and goes away with the process. False
// when the process may not mount (not root); the caller then skips.
inline bool EnterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// A mount that is undone when the object goes (before the TempDir holding its
// mount point, when declared after it).
class ScopedMount {
public:
    ScopedMount(char const* source, std::string const& target, char const* type,
                unsigned long flags, char const* data)
        : m_target(target) {
        m_mounted = ::mount(source, target.c_str(), type, flags, data) == 0;
    }
    ~ScopedMount() {
        if (m_mounted) {
            ::umount2(m_target.c_str(), MNT_DETACH);
        }
    }
    ScopedMount(ScopedMount const&) = delete;
    ScopedMount& operator=(ScopedMount const&) = delete;

    bool Mounted() const { return m_mounted; }

private:
    std::string m_target;
    bool m_mounted;
};

// Runs body in a child process that has given up root's rights (it runs as
// user nobody), so that permission checks hold even when the suite runs as
// root. Returns the text body returned (through shared memory); the child's
// failure fails the test.
inline std::string RunUnprivileged(std::function<std::string()> const& body) {
    constexpr std::size_t size = 1 << 16;
    void* const shared =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        ADD_FAILURE() << "mmap failed";
        return {};
    }
    std::fflush(nullptr);
    pid_t const child = ::fork();
    if (child == 0) {
        uid_t const nobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(3);
        }
        std::string const result = body();
        std::memcpy(shared, result.c_str(), std::min(result.size() + 1, size));
        ::_exit(result.size() < size ? 0 : 4);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the unprivileged child failed, status " << status;
    std::string const result(static_cast<char const*>(shared),
                             ::strnlen(static_cast<char const*>(shared), size));
    ::munmap(shared, size);
    return result;
}

} // namespace testfs
