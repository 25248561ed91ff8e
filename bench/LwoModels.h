// LwoModels.h - the large models the loader benchmark writes: grids of quads broken up by other
// polygons, and the triangle count a complete triangulation gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bm::bench {

struct BenchModel {
    std::string name;         // short, for benchmark names: "FourLayers"
    std::string description;  // for the summary
    std::string path;         // the file written
    std::vector<unsigned char> bytes;
    std::size_t points = 0;
    std::size_t polygons = 0;
    std::size_t triangles = 0;    // n - 2 per polygon of n corners
    std::size_t warmUpBytes = 0;  // touched and released before each load: see warmUpMemory
};

// Four layers of 500 x 500 points: mostly quads, with a hexagon over two cells and an octagon
// over three cells in every 16 of a row. About 29 MB and 2,000,000 triangles.
BenchModel fourLayerModel();

// One layer of 500 x 500 points: mostly quads, with a cell cut into two triangles and a hexagon
// over two cells in every 16 of a row, each row of polygons on its own surface. About 8 MB.
BenchModel oneLayerMixModel();

// Writes the model's bytes to its path; false when that fails.
bool writeModelFile(const BenchModel& model);

}  // namespace bm::bench
