// LwobReader.h - reads LightWave 5 (LWOB) objects from memory into the LWO2 reader's records.
#pragma once

#include "Lwo2Reader.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace bm {

// True when the bytes begin as an LWOB file: FORM, its size, LWOB.
bool isLwob(const unsigned char* data, std::size_t size);

// Reads PNTS, SRFS, POLS (detail polygons too, as polygons of their own) and, with
// options.appearance, SURF into the records readLwo2 fills. Surface number k, counted from 1 in
// SRFS, is tag k - 1. Never reads past size: a chunk that runs off the end ends the scan.
// fileName only names the file in the report's "is not an LWOB object" line.
Lwo2Data readLwob(const unsigned char* data, std::size_t size, std::ostream& report,
                  const std::string& fileName = std::string(), Lwo2Options options = {});

}  // namespace bm
