#include "controls/ListCtrlRows.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace rowpool {
namespace {

constexpr size_t kChunkBytes = size_t{2} << 20;
constexpr size_t kSlotsPerChunk = kChunkBytes / kSlotBytes;

struct Chunk {
    char* base = nullptr;
    void* freeList = nullptr;  // freed slots, linked through their first bytes
    size_t untouched = 0;      // slots [untouched, kSlotsPerChunk) were never handed out
    size_t used = 0;
};

struct Pool {
    std::mutex mutex;
    std::unordered_map<uintptr_t, Chunk> chunks;  // by base address
    std::vector<Chunk*> withRoom;                 // chunks that have a free slot
    size_t ordinaryBytes = 0;                     // pooled-size bytes now on the ordinary heap
};

Pool& pool() {
    static Pool* p = new Pool;  // never destroyed: rows may be freed during static teardown
    return *p;
}

// A 2 MiB region aligned to 2 MiB, so that a slot's chunk is found from its address.
char* mapChunk() {
#ifdef __linux__
    void* p =
        mmap(nullptr, 2 * kChunkBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    auto* raw = static_cast<char*>(p);
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kChunkBytes - 1) & ~(kChunkBytes - 1);
    char* base = raw + (aligned - start);
    if (base > raw) munmap(raw, static_cast<size_t>(base - raw));
    char* end = base + kChunkBytes;
    if (raw + 2 * kChunkBytes > end) munmap(end, static_cast<size_t>(raw + 2 * kChunkBytes - end));
    madvise(base, kChunkBytes, MADV_HUGEPAGE);  // a hint: refused, the chunk is ordinary memory
    return base;
#else
    return nullptr;
#endif
}

void unmapChunk(char* base) {
#ifdef __linux__
    munmap(base, kChunkBytes);
#else
    (void)base;
#endif
}

void* takeSlot(Pool& pl) {
    if (pl.withRoom.empty()) {
        char* base = mapChunk();
        if (!base) return nullptr;
        Chunk& c = pl.chunks[reinterpret_cast<uintptr_t>(base)];
        c.base = base;
        pl.withRoom.push_back(&c);
    }
    Chunk& c = *pl.withRoom.back();
    void* slot = nullptr;
    if (c.freeList) {
        slot = c.freeList;
        c.freeList = *static_cast<void**>(slot);
    } else {
        slot = c.base + c.untouched * kSlotBytes;
        ++c.untouched;
    }
    ++c.used;
    if (!c.freeList && c.untouched == kSlotsPerChunk) pl.withRoom.pop_back();
    return slot;
}

// True when p was a slot of a chunk (and is now given back).
bool giveSlot(Pool& pl, void* p) {
    const uintptr_t base = reinterpret_cast<uintptr_t>(p) & ~(kChunkBytes - 1);
    auto it = pl.chunks.find(base);
    if (it == pl.chunks.end()) return false;
    Chunk& c = it->second;
    const bool wasFull = !c.freeList && c.untouched == kSlotsPerChunk;
    *static_cast<void**>(p) = c.freeList;
    c.freeList = p;
    if (--c.used == 0) {
        pl.withRoom.erase(std::remove(pl.withRoom.begin(), pl.withRoom.end(), &c),
                          pl.withRoom.end());
        unmapChunk(c.base);
        pl.chunks.erase(it);
    } else if (wasFull) {
        pl.withRoom.push_back(&c);
    }
    return true;
}

}  // namespace

void* allocate(size_t bytes) {
    if (bytes <= kSlotBytes) {
        Pool& pl = pool();
        std::lock_guard<std::mutex> lock(pl.mutex);
        if (pl.ordinaryBytes >= kOrdinaryLimit) {
            if (void* slot = takeSlot(pl)) return slot;
        }
        pl.ordinaryBytes += bytes;
    }
    return ::operator new(bytes);
}

void deallocate(void* p, size_t bytes) noexcept {
    if (!p) return;
    if (bytes <= kSlotBytes) {
        Pool& pl = pool();
        std::lock_guard<std::mutex> lock(pl.mutex);
        if (giveSlot(pl, p)) return;
        pl.ordinaryBytes -= std::min(pl.ordinaryBytes, bytes);
    }
    ::operator delete(p);
}

size_t chunksInUse() {
    Pool& pl = pool();
    std::lock_guard<std::mutex> lock(pl.mutex);
    return pl.chunks.size();
}

}  // namespace rowpool
