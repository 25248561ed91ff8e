// LwoMemory.cpp - peak resident memory of one load, from the kernel's account of a child.
#include "LwoMemory.h"

#include "Brackmoor.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace bm::bench {

namespace {

const char* const kMeasureFlag = "--measure-load";

template <typename T>
std::size_t capacityBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

std::size_t surfaceBytes(const TEntityClass& entity) {
    std::size_t bytes = capacityBytes(entity.Surface);
    for (const TSurfaceClass* s : entity.Surface)
        bytes += sizeof *s + capacityBytes(s->verts) + capacityBytes(s->triangleIndex) +
                 capacityBytes(s->tverts) + capacityBytes(s->normals) +
                 capacityBytes(s->vertexColours);
    return bytes;
}

// A field of /proc/self/status in bytes, such as "VmRSS:" or "VmHWM:"; 0 when it is missing.
std::size_t statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, length, field) == 0)
            return std::strtoull(line.c_str() + length, nullptr, 10) * 1024;  // in kB
    return 0;
}

}  // namespace

LoadMemory measureLoad(const std::string& path, std::int32_t flags) {
    LoadMemory memory;
    int ends[2];
    if (pipe(ends) != 0)
        return memory;
    const std::string flagText = std::to_string(flags), fdText = std::to_string(ends[1]);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        char program[] = "lwo_bench";
        char* const args[] = {program,
                              const_cast<char*>(kMeasureFlag),
                              const_cast<char*>(path.c_str()),
                              const_cast<char*>(flagText.c_str()),
                              const_cast<char*>(fdText.c_str()),
                              nullptr};
        execv("/proc/self/exe", args);
        _exit(127);
    }
    close(ends[1]);
    std::size_t figures[2] = {0, 0};
    const bool received = child > 0 && read(ends[0], figures, sizeof figures) == sizeof figures;
    close(ends[0]);
    int status = 0;
    memory.measured = child > 0 && waitpid(child, &status, 0) == child && received &&
                      WIFEXITED(status) && WEXITSTATUS(status) == 0;
    memory.peakBytes = figures[0];
    memory.keptBytes = figures[1];
    return memory;
}

bool serveMeasureLoad(int argc, char** argv) {
    if (argc != 5 || std::strcmp(argv[1], kMeasureFlag) != 0)
        return false;
    // A fresh program image: its peak so far is the libraries' and start-up's alone.
    const std::size_t before = statusBytes("VmRSS:");
    TEntityClass entity;
    entity.LoadLWO(argv[2], static_cast<std::int32_t>(std::atoi(argv[3])));
    const std::size_t peak = statusBytes("VmHWM:");
    const std::size_t figures[2] = {peak > before ? peak - before : 0, surfaceBytes(entity)};
    if (write(std::atoi(argv[4]), figures, sizeof figures) != sizeof figures)
        std::exit(1);
    return true;
}

void warmUpMemory(std::size_t bytes) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return;
    std::memset(block, 1, bytes);
    munmap(block, bytes);
}

}  // namespace bm::bench
