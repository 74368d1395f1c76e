#pragma once

// Helpers for tests that work on real files: a private temporary directory,
// whole-file reads and writes, trace capture, private mounts, and running a
// piece of a test without root's rights.

#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

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
// root. Returns what body returned; the child's failure fails the test.
inline std::string RunUnprivileged(std::function<std::string()> const& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    std::fflush(nullptr);
    pid_t const child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0) {
            uid_t const nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
                ::_exit(3);
            }
        }
        std::string const result = body();
        std::size_t written = 0;
        while (written < result.size()) {
            ssize_t const n =
                ::write(pipeEnds[1], result.data() + written, result.size() - written);
            if (n <= 0) {
                ::_exit(4);
            }
            written += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) {
            result.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the unprivileged child failed, status " << status;
    return result;
}

} // namespace testfs
