#include "platform/CPUCommSegment.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <new>
#include <thread>

namespace {

constexpr std::uint32_t readyMagic = 0x51434d31; // "QCM1": layout version 1, initialised
constexpr std::uint32_t freeTag = 0x46524545;
// An allocated block's tag also holds its offset, so that a stray offset into
// old payload bytes is not taken for a block.
constexpr std::uint32_t usedTag = 0x55534544;
constexpr std::uint32_t alignment = 16;
constexpr std::size_t minimumSize = 4096;
constexpr std::size_t maximumSize = std::size_t{1} << 30;
// How long a process waits for another one that is creating the segment.
constexpr auto creationTimeout = std::chrono::seconds(2);

constexpr std::uint32_t RoundUp(std::size_t value) {
    return static_cast<std::uint32_t>((value + alignment - 1) & ~std::size_t{alignment - 1});
}

// Keeps the compiler from reordering the header stores of one operation: a
// process killed in the middle must leave a walkable chain.
inline void StoreBarrier() {
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

template <typename Done> bool WaitUntil(Done done) {
    auto const end = std::chrono::steady_clock::now() + creationTimeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct Header {
    std::atomic<std::uint32_t> state;
    std::uint32_t size;
    std::uint32_t blocksInUse;
    pthread_mutex_t lock;
};

struct Block {
    std::uint32_t size; // the whole block with this header, a multiple of alignment
    std::uint32_t tag;  // freeTag, or usedTag ^ offset while allocated
    std::uint32_t reserved[2];
};

constexpr std::uint32_t blockHeaderSize = 16;
constexpr std::uint32_t firstBlock = RoundUp(sizeof(Header));
static_assert(sizeof(Block) == blockHeaderSize, "payloads stay aligned");
static_assert(std::atomic<std::uint32_t>::is_always_lock_free, "shared between processes");

Header* HeaderOf(unsigned char* base) {
    return reinterpret_cast<Header*>(base);
}

Block* BlockAt(unsigned char* base, std::uint32_t offset) {
    return reinterpret_cast<Block*>(base + offset);
}

} // namespace

bool CPUCommSegment::Attach(std::string const& name, std::size_t size) {
    Detach();
    size &= ~std::size_t{alignment - 1};
    if (size < minimumSize || size > maximumSize) {
        return false;
    }
    bool created = true;
    int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0660);
    if (fd == -1 && errno == EEXIST) {
        created = false;
        fd = shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
    }
    if (fd == -1) {
        return false;
    }
    // The creator reserves the memory now, so that touching it never faults.
    bool ok =
        created ? posix_fallocate(fd, 0, static_cast<off_t>(size)) == 0 : WaitUntilReady(fd, size);
    if (ok) {
        void* const base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        ok = base != MAP_FAILED;
        if (ok) {
            m_base = static_cast<unsigned char*>(base);
            m_size = size;
        }
    }
    close(fd);
    if (ok && created) {
        Initialise(size);
    } else if (ok) {
        Header* const header = HeaderOf(m_base);
        ok = WaitUntil([header] {
                 return header->state.load(std::memory_order_acquire) == readyMagic;
             }) &&
             header->size <= size;
        if (ok) {
            m_size = header->size;
        } else {
            Detach();
        }
    } else if (created) {
        shm_unlink(name.c_str());
    }
    return ok;
}

// Waits until the creator has given the segment its size; that size is used.
bool CPUCommSegment::WaitUntilReady(int fd, std::size_t& size) {
    struct stat status {};
    bool const sized = WaitUntil([&] {
        return fstat(fd, &status) == 0 && static_cast<std::size_t>(status.st_size) >= minimumSize;
    });
    size = static_cast<std::size_t>(status.st_size);
    return sized && size <= maximumSize;
}

void CPUCommSegment::Initialise(std::size_t size) {
    Header* const header = new (m_base) Header;
    header->size = static_cast<std::uint32_t>(size);
    header->blocksInUse = 0;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_init(&header->lock, &attributes);
    pthread_mutexattr_destroy(&attributes);
    Block* const all = BlockAt(m_base, firstBlock);
    all->size = static_cast<std::uint32_t>(size) - firstBlock;
    all->tag = freeTag;
    header->state.store(readyMagic, std::memory_order_release);
}

void CPUCommSegment::Detach() {
    if (m_base != nullptr) {
        munmap(m_base, m_size);
        m_base = nullptr;
        m_size = 0;
    }
}

bool CPUCommSegment::Lock() {
    Header* const header = HeaderOf(m_base);
    int const rc = pthread_mutex_lock(&header->lock);
    if (rc == EOWNERDEAD) {
        // The owner died inside an operation: the chain is walkable, only
        // the count may be off.
        Recount();
        pthread_mutex_consistent(&header->lock);
        return true;
    }
    return rc == 0;
}

void CPUCommSegment::Unlock() {
    pthread_mutex_unlock(&HeaderOf(m_base)->lock);
}

void CPUCommSegment::Recount() {
    std::uint32_t used = 0;
    for (std::uint32_t offset = firstBlock; offset < m_size;) {
        Block const* const block = BlockAt(m_base, offset);
        if (block->size < blockHeaderSize || block->size % alignment != 0 ||
            block->size > m_size - offset) {
            break;
        }
        used += block->tag == (usedTag ^ offset) ? 1 : 0;
        offset += block->size;
    }
    HeaderOf(m_base)->blocksInUse = used;
}

void CPUCommSegment::MergeFreeFollowers(std::uint32_t offset) {
    Block* const block = BlockAt(m_base, offset);
    for (std::uint32_t next = offset + block->size; next < m_size; next = offset + block->size) {
        Block const* const follower = BlockAt(m_base, next);
        if (follower->tag != freeTag || follower->size < blockHeaderSize ||
            follower->size > m_size - next) {
            return;
        }
        block->size += follower->size;
    }
}

std::uint32_t CPUCommSegment::Allocate(std::uint32_t size) {
    if (size == 0 || size > m_size || !Lock()) {
        return 0;
    }
    std::uint32_t const need = RoundUp(std::size_t{size} + blockHeaderSize);
    std::uint32_t result = 0;
    for (std::uint32_t offset = firstBlock; offset < m_size;) {
        Block* const block = BlockAt(m_base, offset);
        if (block->size < blockHeaderSize || block->size % alignment != 0 ||
            block->size > m_size - offset) {
            break; // a damaged chain: nothing behind it can be trusted
        }
        if (block->tag == freeTag) {
            MergeFreeFollowers(offset);
            if (block->size >= need) {
                if (block->size - need >= 2 * blockHeaderSize) {
                    Block* const rest = BlockAt(m_base, offset + need);
                    rest->size = block->size - need;
                    rest->tag = freeTag;
                    StoreBarrier();
                    block->size = need;
                    StoreBarrier();
                }
                block->tag = usedTag ^ offset;
                ++HeaderOf(m_base)->blocksInUse;
                result = offset + blockHeaderSize;
                break;
            }
        }
        offset += block->size;
    }
    Unlock();
    return result;
}

bool CPUCommSegment::IsAllocatedLocked(std::uint32_t offset) const {
    if (offset < firstBlock + blockHeaderSize || offset >= m_size || offset % alignment != 0) {
        return false;
    }
    std::uint32_t const blockOffset = offset - blockHeaderSize;
    Block const* const block = BlockAt(m_base, blockOffset);
    return block->tag == (usedTag ^ blockOffset) && block->size >= blockHeaderSize &&
           block->size <= m_size - blockOffset;
}

bool CPUCommSegment::IsAllocated(std::uint32_t offset) {
    if (!Lock()) {
        return false;
    }
    bool const allocated = IsAllocatedLocked(offset);
    Unlock();
    return allocated;
}

bool CPUCommSegment::Release(std::uint32_t offset) {
    if (!Lock()) {
        return false;
    }
    bool const allocated = IsAllocatedLocked(offset);
    if (allocated) {
        std::uint32_t const blockOffset = offset - blockHeaderSize;
        BlockAt(m_base, blockOffset)->tag = freeTag;
        --HeaderOf(m_base)->blocksInUse;
        MergeFreeFollowers(blockOffset);
    }
    Unlock();
    return allocated;
}

std::uint32_t CPUCommSegment::OffsetOf(void const* address) const {
    auto const* const byte = static_cast<unsigned char const*>(address);
    if (m_base == nullptr || byte < m_base + firstBlock || byte >= m_base + m_size) {
        return 0;
    }
    return static_cast<std::uint32_t>(byte - m_base);
}

int CPUCommSegment::BlocksInUse() {
    if (!Lock()) {
        return -1;
    }
    int const used = static_cast<int>(HeaderOf(m_base)->blocksInUse);
    Unlock();
    return used;
}
