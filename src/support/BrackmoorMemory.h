// BrackmoorMemory.h - the first touch of the hundreds of megabytes a large model keeps, moved off
// the loading thread: a second thread has the kernel provide the pages before they are written.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace bm {

// A second thread that has the kernel provide the pages of a range (MADV_POPULATE_WRITE) a
// little ahead of the caller, who writes the range from the bottom up: the caller then finds its
// pages ready instead of stopping for each one. Whichever thread reaches a page first has it
// provided, once; its contents are the zeros a first write would find either way. When the
// caller catches up, the thread starts again ahead of it. It ends before the destructor returns.
class PageProvider {
public:
    PageProvider();
    ~PageProvider();
    PageProvider(const PageProvider&) = delete;
    PageProvider& operator=(const PageProvider&) = delete;

    // Hands the thread the whole pages inside [low, high); only the first range counts.
    void provide(const void* low, const void* high);
    // The caller has written up to here: the thread works beyond it.
    void reached(const void* at) {
        progress.store(reinterpret_cast<std::uintptr_t>(at), std::memory_order_relaxed);
    }

private:
    void run();

    std::mutex lock;
    std::condition_variable wake;
    // Under the lock: the range, page-aligned, or the end of the caller's work.
    std::uintptr_t low = 0, high = 0;
    bool given = false, finished = false;
    std::atomic<std::uintptr_t> progress{0};
    std::atomic<bool> stop{false};
    std::thread helper;  // last: started once the rest is built
};

// Makes room at the top of malloc's heap for a fill of about `bytes` in small arrays, and has a
// PageProvider provide it as the fill goes. The room is made with ordinary allocations, each
// too small for glibc to map apart, which grow the heap; all but the last are freed again at
// once, as one free piece that the fill's arrays are then carved from in order. The last one
// stays behind the piece until the destructor, so that free() does not hand the piece straight
// back to the system; with it goes whatever the fill left over. No malloc setting is changed.
// Below prefaultWorthwhile, or when the blocks do not come from a heap that grows upwards (the
// sanitizers' allocators), nothing is kept and the pages fault in as they are written.
class HeapPrefault {
public:
    static constexpr std::size_t prefaultWorthwhile = 8u << 20;

    explicit HeapPrefault(std::size_t bytes);
    ~HeapPrefault();
    HeapPrefault(const HeapPrefault&) = delete;
    HeapPrefault& operator=(const HeapPrefault&) = delete;

    // Call after each batch of allocations with the end of the last one.
    void reached(const void* end) {
        if (provider)
            provider->reached(end);
    }

private:
    void* guard = nullptr;                 // the last block, kept until the fill is done
    std::optional<PageProvider> provider;  // only when there is room to provide
};

}  // namespace bm
