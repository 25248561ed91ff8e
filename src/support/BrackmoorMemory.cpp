// BrackmoorMemory.cpp - pages provided by a second thread; a growing heap's new pages.
#include "BrackmoorMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace bm {

namespace {
constexpr std::uintptr_t pageSize = 4096;
// The thread provides this much at a time, then looks where the caller has got to; when the
// caller has caught up, it starts again this far ahead of it.
constexpr std::uintptr_t step = 256u << 10;
constexpr std::uintptr_t lead = 64u << 10;
// Below glibc's smallest mmap threshold (128 kB): blocks of this size come from the heap.
constexpr std::size_t roomBlock = 120u << 10;

std::uintptr_t address(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

// Blocks of roomBlock bytes, `bytes` of them in all, or fewer when one is mapped apart from the
// heap (it lies above the heap's end) and there is no heap to grow.
std::vector<void*> heapBlocks(std::size_t bytes) {
    std::vector<void*> blocks;
    blocks.reserve(bytes / roomBlock + 1);
    for (std::size_t made = 0; made < bytes; made += roomBlock) {
        void* block = std::malloc(roomBlock);
        if (block == nullptr || address(block) >= address(sbrk(0))) {
            std::free(block);
            break;
        }
        blocks.push_back(block);
    }
    return blocks;
}
}  // namespace

PageProvider::PageProvider() : helper([this] { run(); }) {}

PageProvider::~PageProvider() {
    stop.store(true, std::memory_order_relaxed);
    {
        const std::lock_guard<std::mutex> hold(lock);
        finished = true;
    }
    wake.notify_one();
    helper.join();
}

void PageProvider::provide(const void* from, const void* to) {
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (given)
            return;
        low = (address(from) + pageSize - 1) & ~(pageSize - 1);
        high = address(to) & ~(pageSize - 1);
        given = true;
    }
    wake.notify_one();
}

void PageProvider::run() {
    std::uintptr_t at = 0, top = 0;
    {
        std::unique_lock<std::mutex> hold(lock);
        wake.wait(hold, [this] { return given || finished; });
        at = low;
        top = given ? high : low;
    }
    while (at < top && !stop.load(std::memory_order_relaxed)) {
        // Never behind the caller: pages it has passed are written already.
        const std::uintptr_t caller = progress.load(std::memory_order_relaxed);
        if (caller + lead > at)
            at = (caller + lead) & ~(pageSize - 1);
        if (at >= top)
            break;
        const std::uintptr_t to = top - at > step ? at + step : top;
        // A kernel without MADV_POPULATE_WRITE refuses it: the caller's writes fault as usual.
        if (madvise(reinterpret_cast<void*>(at), to - at, MADV_POPULATE_WRITE) != 0)
            break;
        at = to;
    }
}

HeapPrefault::HeapPrefault(std::size_t bytes) {
    if (bytes < prefaultWorthwhile)
        return;
    const std::uintptr_t heapEnd = address(sbrk(0));
    std::vector<void*> blocks = heapBlocks(bytes);
    // The room is what the heap grew by, up to the last block.
    const bool grew = !blocks.empty() && address(blocks.back()) >= heapEnd &&
                      address(sbrk(0)) - heapEnd >= prefaultWorthwhile;
    if (grew) {
        guard = blocks.back();
        blocks.pop_back();
    }
    for (void* block : blocks)
        std::free(block);
    if (!grew)
        return;
    provider.emplace();
    provider->provide(reinterpret_cast<const void*>(heapEnd), guard);
}

HeapPrefault::~HeapPrefault() {
    provider.reset();
    std::free(guard);
}

}  // namespace bm
