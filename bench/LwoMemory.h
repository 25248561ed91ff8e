// LwoMemory.h - one load in a fresh process, as a program meets a model: its time, its peak
// resident memory and what it keeps; and the machine's memory made ready before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TEntityClass;

namespace bm::bench {

// What lwo_load_once reports of its one load.
struct FreshLoad {
    bool measured = false;
    double ms = 0;              // the load alone, wall-clock
    std::size_t peakBytes = 0;  // peak resident memory during the load beyond that before it
    std::size_t keptBytes = 0;  // what the loaded surfaces hold: objects and array capacities
    std::size_t triangles = 0;  // as loaded, or as imported
};

// Runs `driver LOADER PATH` (lwo_load_once) and reads back its line; measured is false when it
// fails.
FreshLoad loadInFreshProcess(const std::string& driver, const std::string& loader,
                             const std::string& path);

// A field of /proc/self/status in bytes, such as "VmRSS:" or "VmHWM:"; 0 when it is missing.
std::size_t statusBytes(const char* field);

// What an entity's surfaces hold: the objects themselves and their arrays' capacities.
std::size_t surfaceBytes(const TEntityClass& entity);

// Touches and releases this many bytes, just before a measured load or import. On a virtual
// machine that hands memory back to its host while the guest leaves it free, the guest's first
// touch of such memory costs several times a page fault. Loads that keep what they build reach
// for such memory again and again, while an importer that frees its memory reuses its own; the
// benchmark's loads, moreover, keep gigabytes between them. Touched just before, the memory a
// load or import takes is what a machine in use has: recently used and still backed. A fresh
// process's memory is new to it all the same: the kernel hands it pages it has just cleared.
void warmUpMemory(std::size_t bytes);

}  // namespace bm::bench
