// LwoMemory.h - what one model load costs in memory, measured in a fresh process so that the
// benchmark's own loads and allocations do not count; and the machine's memory made ready.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bm::bench {

struct LoadMemory {
    bool measured = false;
    std::size_t peakBytes = 0;  // peak resident memory during the load beyond that before it
    std::size_t keptBytes = 0;  // what the loaded surfaces hold: objects and array capacities
};

// Runs this program again as `program --measure-load PATH FLAGS FD`, a fresh process that loads
// the model once and sends back its peak resident memory beyond what it had before the load.
LoadMemory measureLoad(const std::string& path, std::int32_t flags);

// Serves --measure-load when it is argv[1]: loads, sends the kept bytes down FD, and returns true.
bool serveMeasureLoad(int argc, char** argv);

// Touches and releases this many bytes, just before a measured load or import. On a virtual
// machine that hands memory back to its host while the guest leaves it free, the guest's first
// touch of such memory costs several times a page fault. Loads that keep what they build reach
// for such memory again and again, while an importer that frees its memory reuses its own; the
// benchmark's loads, moreover, keep gigabytes between them. Touched just before, the memory a
// load or import takes is what a machine in use has: recently used and still backed.
void warmUpMemory(std::size_t bytes);

}  // namespace bm::bench
