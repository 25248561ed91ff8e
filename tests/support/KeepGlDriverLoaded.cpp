// KeepGlDriverLoaded.cpp - linked into the sanitized builds only.
//
// Mesa's driver keeps caches until the process ends and is unloaded before the leak checker
// reports them, which leaves their stacks with no module name to match a suppression against.
// Loading the driver once more with RTLD_NODELETE keeps it mapped to the end, so the checker
// names it and the suppressions for the GL libraries apply; our own leaks are still reported.
#include <dlfcn.h>

namespace {

const char* const softwareDrivers[] = {
    "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
    "/usr/lib/aarch64-linux-gnu/dri/swrast_dri.so",
    "swrast_dri.so",
};

struct KeepGlDriverLoaded {
    KeepGlDriverLoaded() {
        for (const char* path : softwareDrivers)
            if (dlopen(path, RTLD_LAZY | RTLD_NODELETE) != nullptr)
                return;
    }
} keepGlDriverLoaded;

}  // namespace
