// BrackmoorViewOutput.h - the viewer's standard output pointed elsewhere for a while: the engine's
// reports are not the viewer's output.
#pragma once

#include "BrackmoorScreenshot.h"

#include <unistd.h>

#include <cstdio>

namespace bm {

// Points standard output somewhere else while it lives, the engine's printf and std::cout alike.
class StdoutRedirect {
public:
    explicit StdoutRedirect(int target) : saved(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        dup2(target, STDOUT_FILENO);
    }
    ~StdoutRedirect() {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    StdoutRedirect(const StdoutRedirect&) = delete;
    StdoutRedirect& operator=(const StdoutRedirect&) = delete;

private:
    int saved;
};

// Nothing reaches standard output while it lives. For the engine's start-up and camera reports.
struct StdoutSilenced {
    FilePtr nowhere{std::fopen("/dev/null", "w")};
    StdoutRedirect redirect{nowhere ? fileno(nowhere.get()) : STDERR_FILENO};
};

}  // namespace bm
