#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "script/CCfgLine.h"

// What the configuration-file targets share.
namespace fuzz {

// A file in memory that holds the latest input: its path is opened by name
// as a file on a stick would be, without writing to disk for every run.
class MemoryFile {
public:
    MemoryFile() : m_fd(memfd_create("quor-fuzz-cfg", 0)) {
        if (m_fd < 0) {
            std::abort();
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~MemoryFile() { close(m_fd); }
    MemoryFile(MemoryFile const&) = delete;
    MemoryFile& operator=(MemoryFile const&) = delete;

    char const* Hold(std::uint8_t const* data, std::size_t size) {
        if (ftruncate(m_fd, 0) != 0 ||
            (size > 0 && pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
        return m_path.c_str();
    }

private:
    int m_fd;
    std::string m_path;
};

// Takes text apart as the commands of configuration files do: items as text
// and as numbers alternately, then items cut to a buffer of itemSize bytes
// (allocated to exactly that size, so that a byte too many is seen).
inline void SplitItems(char* text, char termChar, int itemSize) {
    std::string const original = text;
    CCfgLine line;
    line.SetLine(text, termChar);
    std::string item;
    int value = 0;
    // Every item takes at least one character: the end comes within the text's length.
    for (std::size_t i = 0; i <= original.size(); ++i) {
        if (i % 2 == 0) {
            line.GetNextString(&item);
        } else {
            line.GetNextInt(&value);
        }
    }
    std::string copy = original;
    std::unique_ptr<char[]> const shortItem(new char[itemSize > 0 ? itemSize : 1]);
    char* at = &copy[0];
    for (std::size_t i = 0; i <= original.size() && at != nullptr && *at != '\0'; ++i) {
        at = GetNextItemFromString(at, shortItem.get(), itemSize, termChar);
    }
    copy = original;
    RemoveWhitespaceFromString(&copy[0]);
}

} // namespace fuzz
