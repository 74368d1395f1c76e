#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A scratch directory for the file benchmarks, removed afterwards. Path() ends
// with "/", or is empty when the directory could not be made.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char name[] = "/tmp/quor-bench-XXXXXX";
        m_path = mkdtemp(name) != nullptr ? std::string(name) + "/" : std::string();
    }
    ~ScratchDirectory() {
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path);
        }
    }
    ScratchDirectory(ScratchDirectory const&) = delete;
    ScratchDirectory& operator=(ScratchDirectory const&) = delete;

    std::string const& Path() const { return m_path; }

private:
    std::string m_path;
};
