// LwoWalk.cpp - decodes the points and polygons of an LWO2 file and nothing more.
#include "LwoWalk.h"

#include "BrackmoorConversion.h"

#include <algorithm>
#include <cstring>

namespace bm::bench {

namespace {

void walkPoints(const unsigned char* at, std::size_t length, WalkResult& out) {
    const std::size_t count = length / 12;
    for (std::size_t i = 0; i < count; ++i, at += 12) {
        for (int k = 0; k < 3; ++k) {
            const float v = convertBytesToFloat(at + 4 * k);
            if (out.points == 0 && i == 0)
                out.low[k] = out.high[k] = v;
            out.low[k] = std::min(out.low[k], v);
            out.high[k] = std::max(out.high[k], v);
        }
    }
    out.points += count;
}

void walkPolygons(const unsigned char* at, std::size_t length, WalkResult& out) {
    const unsigned char* const end = at + length;
    at += 4;  // FACE
    while (end - at >= 2) {
        std::uint32_t count = ((std::uint32_t(at[0]) << 8) | at[1]) & 0x3FF;
        at += 2;
        for (; count > 0 && end - at >= 2; --count) {
            if (at[0] != 0xFF) {
                out.indexSum += (std::uint32_t(at[0]) << 8) | at[1];
                at += 2;
            } else if (end - at >= 4) {
                out.indexSum += bm::bigEndianBits(at) & 0x00FFFFFFu;
                at += 4;
            } else {
                return;
            }
            ++out.corners;
        }
        ++out.polygons;
    }
}

}  // namespace

WalkResult walkPointsAndPolygons(const unsigned char* data, std::size_t size) {
    WalkResult out;
    for (std::size_t at = 12; at < size && size - at >= 8;) {
        const std::size_t length = bm::bigEndianBits(data + at + 4);
        if (length > size - at - 8)
            break;
        if (std::memcmp(data + at, "PNTS", 4) == 0)
            walkPoints(data + at + 8, length, out);
        else if (std::memcmp(data + at, "POLS", 4) == 0 && length >= 4)
            walkPolygons(data + at + 8, length, out);
        at += 8 + length + (length & 1);
    }
    return out;
}

}  // namespace bm::bench
