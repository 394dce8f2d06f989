// Memory for the rows of lists. A list of a million rows holds about 40 MB, and faulting that in
// 4 KiB at a time is most of what filling it costs where page faults are dear (virtual machines).
// Row blocks of the first few MiB come from the ordinary heap; beyond that from 2 MiB chunks
// that the kernel is asked to back with huge pages where it can (elsewhere they are ordinary
// memory). A chunk goes back to the system when its last block is freed.
#pragma once

#include <cstddef>

namespace rowpool {

// Blocks up to this size are pooled; larger requests go to operator new.
inline constexpr size_t kSlotBytes = 512;
// Pooled bytes served from the ordinary heap before chunks are used.
inline constexpr size_t kOrdinaryLimit = size_t{4} << 20;

void* allocate(size_t bytes);
void deallocate(void* p, size_t bytes) noexcept;
// Chunks currently held (for tests and figures).
size_t chunksInUse();

}  // namespace rowpool

template <typename T>
struct RowAllocator {
    using value_type = T;
    RowAllocator() = default;
    template <typename U>
    RowAllocator(const RowAllocator<U>&) noexcept {}
    T* allocate(size_t n) { return static_cast<T*>(rowpool::allocate(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { rowpool::deallocate(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const RowAllocator<U>&) const noexcept {
        return true;
    }
};
