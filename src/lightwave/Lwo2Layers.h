// Lwo2Layers.h - one layer of an object, as a scene's LoadObjectLayer names it.
#pragma once

#include "Lwo2Reader.h"

#include <cstddef>
#include <ostream>

namespace bm {

// Which of lwo.Layers a scene's layer n (counted from 1, as Modeler shows it) names: the LAYR
// numbered n - 1; else the n-th layer in file order; else the first, with a "LoadLWO:" line.
std::size_t findLayer(const Lwo2Data& lwo, int sceneLayer, std::ostream& report);

// The object cut down to one layer of lwo.Layers: its points, its polygons with their corners
// renumbered, its part of every vertex map (per-polygon entries renumbered too); tags, surfaces
// and clips whole. A layer index past the list gives the whole object.
Lwo2Data selectLayer(const Lwo2Data& lwo, std::size_t layer);

}  // namespace bm
