// Writing to fresh memory faults once per page; for a large buffer about to be written whole,
// one call can map all its pages first, which costs far less (on a virtual machine many
// times less). Contents are not touched; where the call does not exist nothing happens.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

inline void prefaultForWrite(void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // Below this, faulting page by page costs too little to be worth a call.
    constexpr size_t kWorthIt = size_t(1) << 18;
    if (!data || bytes < kWorthIt) return;
    static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t at = reinterpret_cast<uintptr_t>(data);
    const uintptr_t begin = (at + page - 1) & ~(page - 1), end = (at + bytes) & ~(page - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}
