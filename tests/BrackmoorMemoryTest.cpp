// BrackmoorMemoryTest.cpp - pages provided by a second thread, and a heap grown for a fill.
#include "BrackmoorMemory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t pageBytes = 4096;
constexpr std::size_t rangePages = 2048;  // 8 MB

class Mapping {
public:
    Mapping()
        : block(mmap(nullptr, rangePages * pageBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {}
    ~Mapping() {
        if (ok())
            munmap(block, rangePages * pageBytes);
    }
    bool ok() const { return block != MAP_FAILED; }
    unsigned char* page(std::size_t n) const {
        return static_cast<unsigned char*>(block) + n * pageBytes;
    }
    bool resident(std::size_t n) const {
        unsigned char state = 0;
        return mincore(page(n), pageBytes, &state) == 0 && (state & 1) != 0;
    }

private:
    void* block;
};

}  // namespace

// The thread provides the range ahead of the caller, never the pages just above where the
// caller has got, and what the caller wrote stays as written; a caller already at the top leaves
// it nothing to do.
TEST(PageProvider, ProvidesAheadOfTheCaller) {
    Mapping range;
    ASSERT_TRUE(range.ok());
    {
        bm::PageProvider provider;
        range.page(0)[0] = 7;
        provider.reached(range.page(1));
        provider.provide(range.page(0), range.page(rangePages));
        // This waits for the thread to reach the top; it measures nothing.
        for (int tries = 0; tries < 2000 && !range.resident(rangePages - 1); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(range.resident(rangePages - 1));
        EXPECT_FALSE(range.resident(2));
    }
    EXPECT_EQ(range.page(0)[0], 7);
    EXPECT_EQ(range.page(rangePages - 1)[pageBytes - 1], 0);

    Mapping passed;
    ASSERT_TRUE(passed.ok());
    {
        bm::PageProvider provider;
        provider.reached(passed.page(rangePages));
        provider.provide(passed.page(0), passed.page(rangePages));
    }
    EXPECT_FALSE(passed.resident(rangePages - 1));
    EXPECT_FALSE(passed.resident(0));
}

// Small blocks allocated while a large fill's heap growth is being provided keep their contents.
TEST(HeapPrefault, BlocksFilledDuringTheFillKeepTheirValues) {
    std::vector<std::vector<float>> blocks(4000);
    {
        bm::HeapPrefault prefault(blocks.size() * 4096 * sizeof(float));
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            blocks[i].assign(4096, static_cast<float>(i));
            prefault.reached(blocks[i].data() + blocks[i].size());
        }
    }
    for (std::size_t i = 0; i < blocks.size(); ++i)
        ASSERT_EQ(blocks[i], std::vector<float>(4096, static_cast<float>(i))) << i;
}

// Making room changes no malloc setting. Setting M_TOP_PAD, say, would also have stopped glibc
// from raising its mmap threshold as large blocks are freed, for the rest of the program: a block
// of 512 kB after a freed one of 1 MB would then be mapped apart instead of coming from the heap.
TEST(HeapPrefault, LeavesMallocsSettingsAlone) {
    void* volatile small = std::malloc(64);
    const bool brkHeap = small != nullptr && small < sbrk(0);
    std::free(small);
    if (!brkHeap)
        GTEST_SKIP() << "malloc here does not use a heap that grows upwards";
    { bm::HeapPrefault prefault(64u << 20); }
    // Through a volatile pointer, so that the compiler keeps the pair.
    void* volatile large = std::malloc(1u << 20);
    std::free(large);
    void* volatile block = std::malloc(512u << 10);
    EXPECT_LT(block, sbrk(0)) << "a 512 kB block was mapped apart";
    std::free(block);
}
