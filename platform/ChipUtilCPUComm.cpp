#include "platform/ChipUtilCPUComm.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/CPUCommSegment.h"

namespace {

// The segment of a system that was given no other.
constexpr char defaultSegmentName[] = "/quor_cpucomm";
constexpr unsigned long defaultSegmentSize = 4ul << 20;

std::mutex segmentMutex; // guards the choice and mapping of the segment
std::string segmentName = defaultSegmentName;
unsigned long segmentSize = defaultSegmentSize;
CPUCommSegment segment;
std::atomic<bool> segmentMapped{false};

// The mapped segment, mapped at first use; null when it cannot be.
CPUCommSegment* Segment() {
    if (segmentMapped.load(std::memory_order_acquire)) {
        return &segment;
    }
    std::lock_guard<std::mutex> lock(segmentMutex);
    if (!segment.IsAttached() && !segment.Attach(segmentName, segmentSize)) {
        return nullptr;
    }
    segmentMapped.store(true, std::memory_order_release);
    return &segment;
}

} // namespace

void* Chip_Util_CPUComm_Malloc(unsigned size) {
    CPUCommSegment* const shared = Segment();
    std::uint32_t const offset = shared != nullptr ? shared->Allocate(size) : 0;
    return offset != 0 ? shared->AddressOf(offset) : nullptr;
}

unsigned long Chip_Util_CPUComm_Convert2PhyAddr(void* address) {
    CPUCommSegment* const shared = Segment();
    if (shared == nullptr) {
        return 0;
    }
    std::uint32_t const offset = shared->OffsetOf(address);
    return shared->IsAllocated(offset) ? offset : 0;
}

void* Chip_Util_CPUComm_Convert2VirtualAddr(unsigned long physicalAddress) {
    CPUCommSegment* const shared = Segment();
    if (shared == nullptr || physicalAddress > UINT32_MAX ||
        !shared->IsAllocated(static_cast<std::uint32_t>(physicalAddress))) {
        return nullptr;
    }
    return shared->AddressOf(static_cast<std::uint32_t>(physicalAddress));
}

int Chip_Util_CPUComm_Free(void* address) {
    CPUCommSegment* const shared = Segment();
    if (shared == nullptr) {
        return -1;
    }
    // An address inside the mapping is a virtual one; anything else is
    // taken for a physical address (an offset, far below any mapping).
    std::uint32_t offset = shared->OffsetOf(address);
    auto const value = reinterpret_cast<std::uintptr_t>(address);
    if (offset == 0 && value <= UINT32_MAX) {
        offset = static_cast<std::uint32_t>(value);
    }
    return shared->Release(offset) ? 0 : -1;
}

int CPUCommStandInSetSegment(char const* name, unsigned long size) {
    if (name == nullptr) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(segmentMutex);
    segmentMapped.store(false, std::memory_order_release);
    segment.Detach();
    segmentName = name;
    segmentSize = size;
    if (!segment.Attach(segmentName, segmentSize)) {
        return -1;
    }
    segmentMapped.store(true, std::memory_order_release);
    return 0;
}

int CPUCommStandInBlocksInUse() {
    CPUCommSegment* const shared = Segment();
    return shared != nullptr ? shared->BlocksInUse() : -1;
}

int CPUCommStandInRemoveSegment() {
    std::lock_guard<std::mutex> lock(segmentMutex);
    return shm_unlink(segmentName.c_str()) == 0 ? 0 : -1;
}

int CPUCommStandInHoldLock() {
    CPUCommSegment* const shared = Segment();
    return shared != nullptr && shared->LockAndKeep() ? 0 : -1;
}
