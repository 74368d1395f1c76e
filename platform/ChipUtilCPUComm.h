#pragma once

#include "util/QuorExport.h"

// The chip's CPU communication library: memory shared between the CPUs (and
// the processes) of the system. A block is written through the address that
// Malloc returns, named to others by its physical address, and read there
// through the address that Convert2VirtualAddr returns.
//
// The stand-in keeps the blocks in one POSIX shared-memory segment; a
// physical address is the block's offset in it, never 0.

// The CPUs of the chip.
enum _tagCPUID { CPU_ID_MAIN = 0, CPU_ID_AV = 1 };
// Arguments and results of a remote function call; opaque here.
struct _tagCPUFuncCallParam;
struct _tagCPUFuncCallReturn;

extern "C" {
// A block of size bytes, or 0 when no shared memory is left.
QUOR_EXPORT void* Chip_Util_CPUComm_Malloc(unsigned size);
// The physical address of an allocated block, or 0.
QUOR_EXPORT unsigned long Chip_Util_CPUComm_Convert2PhyAddr(void* address);
// An address of this process for an allocated block's physical address; 0
// for an address outside the shared memory or not allocated.
QUOR_EXPORT void* Chip_Util_CPUComm_Convert2VirtualAddr(unsigned long physicalAddress);
// Releases a block given by its address or by its physical address;
// 0, or -1 when it names no allocated block.
QUOR_EXPORT int Chip_Util_CPUComm_Free(void* address);

// Stand-in only, for tests. Chooses the segment this process uses from now
// on (a shm_open name, and the size in bytes should this process create it);
// call it while the process holds no block. 0, or -1 when it cannot be mapped.
QUOR_EXPORT int CPUCommStandInSetSegment(char const* name, unsigned long size);
// Blocks in use in the segment, by every process; -1 when it cannot be mapped.
QUOR_EXPORT int CPUCommStandInBlocksInUse();
// Removes the segment's name; processes that mapped it keep it. 0 or -1.
QUOR_EXPORT int CPUCommStandInRemoveSegment();
// Takes the segment's lock and keeps it, so that a test can kill a process
// holding it. 0 or -1.
QUOR_EXPORT int CPUCommStandInHoldLock();
}
