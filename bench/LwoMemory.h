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

// Touches and releases this many bytes. On a virtual machine whose memory the host backs only
// once the guest first touches it, that first touch costs several times what a page fault does;
// loads that keep their memory would meet it again and again while an importer that frees its
// memory meets it once. Afterwards every load meets memory as a warmed-up machine has it.
void warmUpMemory(std::size_t bytes);

}  // namespace bm::bench
