#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One POSIX shared-memory segment shared by the processes of the system, and
// the block allocator inside it. Blocks are named by their offset in the
// segment, which is the same in every process and never 0.
//
// The allocator state lives entirely in the block headers, which lie end to
// end behind the segment header: every block header is written before the
// block becomes reachable, so the chain stays walkable at every instant. The
// lock is a process-shared robust mutex; when its owner died, the next locker
// recounts the chain and goes on.
class CPUCommSegment {
public:
    CPUCommSegment() = default;
    CPUCommSegment(CPUCommSegment const&) = delete;
    CPUCommSegment& operator=(CPUCommSegment const&) = delete;
    ~CPUCommSegment() { Detach(); }

    // Maps the segment name, creating it with size bytes when no process has
    // yet; an existing segment keeps its own size. False when it cannot.
    bool Attach(std::string const& name, std::size_t size);
    void Detach();
    bool IsAttached() const { return m_base != nullptr; }

    // Offset of a new block of size bytes, or 0 when no room is left.
    std::uint32_t Allocate(std::uint32_t size);
    // False for an offset that is not an allocated block.
    bool Release(std::uint32_t offset);
    bool IsAllocated(std::uint32_t offset);
    // The offset of an address inside the mapping, or 0.
    std::uint32_t OffsetOf(void const* address) const;
    unsigned char* AddressOf(std::uint32_t offset) const { return m_base + offset; }
    // -1 when the lock cannot be had.
    int BlocksInUse();
    // Takes the lock and keeps it (for tests of a process dying while holding it).
    bool LockAndKeep() { return Lock(); }

private:
    bool Lock();
    void Unlock();
    void Initialise(std::size_t size);
    bool WaitUntilReady(int fd, std::size_t& size);
    bool IsAllocatedLocked(std::uint32_t offset) const;
    void MergeFreeFollowers(std::uint32_t offset);
    void Recount();

    unsigned char* m_base = nullptr;
    std::size_t m_size = 0;
};
