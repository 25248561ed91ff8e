// LwoMemory.cpp - fresh-process loads, and the kernel's account of a process's memory.
#include "LwoMemory.h"

#include "Brackmoor.h"

#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace bm::bench {

namespace {

template <typename T>
std::size_t capacityBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

// Everything the child writes on its standard output.
std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

}  // namespace

std::size_t statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, length, field) == 0)
            return std::strtoull(line.c_str() + length, nullptr, 10) * 1024;  // in kB
    return 0;
}

std::size_t surfaceBytes(const TEntityClass& entity) {
    std::size_t bytes = capacityBytes(entity.Surface);
    for (const TSurfaceClass* s : entity.Surface)
        bytes += sizeof *s + capacityBytes(s->verts) + capacityBytes(s->triangleIndex) +
                 capacityBytes(s->tverts) + capacityBytes(s->normals) +
                 capacityBytes(s->vertexColours);
    return bytes;
}

FreshLoad loadInFreshProcess(const std::string& driver, const std::string& loader,
                             const std::string& path) {
    FreshLoad load;
    int ends[2];
    if (pipe(ends) != 0)
        return load;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<char*> args = {const_cast<char*>(driver.c_str()), const_cast<char*>(loader.c_str()),
                               const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    const bool started =
        posix_spawn(&child, driver.c_str(), &actions, nullptr, args.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    const std::string said = started ? readAll(ends[0]) : std::string();
    close(ends[0]);
    int status = 0;
    const bool exited = started && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                        WEXITSTATUS(status) == 0;
    // The figures are the last line; a loader's problem lines would come before it.
    const std::size_t last = said.rfind('\n', said.size() >= 2 ? said.size() - 2 : 0);
    const char* line = said.c_str() + (last == std::string::npos ? 0 : last + 1);
    load.measured = exited && std::sscanf(line, "%lf %zu %zu %zu", &load.ms, &load.peakBytes,
                                          &load.keptBytes, &load.triangles) == 4;
    return load;
}

void warmUpMemory(std::size_t bytes) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return;
    std::memset(block, 1, bytes);
    munmap(block, bytes);
}

}  // namespace bm::bench
