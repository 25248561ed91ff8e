// lws_fuzzer.cpp - libFuzzer entry: the scene reader on arbitrary text, every item's world
// matrix at a few frames, cameras' fields of view and the object paths' candidates.
#include "LwsMotion.h"
#include "LwsPaths.h"
#include "LwsReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool finite(const bm::LwsMatrix& matrix) {
    for (const auto& row : matrix.m)
        for (double value : row)
            if (!std::isfinite(value))
                return false;
    return true;
}

// Every report line carries the prefix.
void checkReport(const std::string& report) {
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("LoadScene: ", 0) != 0)
            __builtin_trap();
}

// Parents name items of the list and never lead back to where they started.
void checkParents(const bm::LwsScene& scene) {
    const std::size_t count = scene.items.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t steps = 0;
        for (int p = scene.items[i].parent; p >= 0; p = scene.items[p].parent) {
            if (static_cast<std::size_t>(p) >= count || ++steps > count)
                __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostringstream report;
    const bm::LwsScene scene = bm::readLws(reinterpret_cast<const char*>(data), size, report);
    checkReport(report.str());
    checkParents(scene);
    const double middle = 0.5 * (scene.firstFrame + scene.lastFrame);
    for (double frame : {scene.firstFrame, middle + 0.25, scene.lastFrame, -1000.0, 1e7}) {
        for (const bm::LwsMatrix& world : bm::worldMatrices(scene, frame))
            if (!finite(world) || !finite(bm::rightHanded(world)))
                __builtin_trap();
        const double seconds = bm::lwsSeconds(scene, frame);
        for (const bm::LwsItem& item : scene.items) {
            if (item.type == bm::LwsCamera &&
                !std::isfinite(bm::verticalFieldOfView(item, seconds)))
                __builtin_trap();
            if (item.type == bm::LwsLight &&
                !std::isfinite(bm::evaluateEnvelope(item.light.intensity, seconds)))
                __builtin_trap();
        }
    }
    for (const bm::LwsItem& item : scene.items)
        if (item.type == bm::LwsObject && !item.null) {
            bm::objectPathCandidates(item.name, "scenes/fuzz.lws");
            bm::namesScene(item.name, "scenes/fuzz.lws");
        }
    return 0;
}
