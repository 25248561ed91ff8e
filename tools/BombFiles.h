// BombFiles.h - small files that ask for too much: a PNG of a huge all-zero image, and LWO2
// models of stars, outlines that cross themselves at every step round the circle.
#pragma once

#include "Lwo2Writer.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace bm::lwo {

namespace detail {

inline void appendU4(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

inline void appendPngChunk(std::vector<unsigned char>& out, const char* type,
                           const std::vector<unsigned char>& body) {
    appendU4(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + body.size()));
    appendU4(out, static_cast<std::uint32_t>(crc));
}

// Deflates count zero bytes as a run of blocks that ends on a byte boundary and refers to
// nothing before it, so that copies of it can be laid end to end in one stream.
inline std::vector<unsigned char> zeroBlocks(std::size_t count) {
    std::vector<unsigned char> zeros(count, 0), out(compressBound(static_cast<uLong>(count)) + 64);
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    z.next_in = zeros.data();
    z.avail_in = static_cast<uInt>(count);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FULL_FLUSH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

// The largest number of rows up to 64 that divides height: one deflated unit of the image.
inline std::uint32_t rowsPerUnit(std::uint32_t height) {
    for (std::uint32_t rows = 64; rows > 1; --rows)
        if (height % rows == 0)
            return rows;
    return 1;
}

}  // namespace detail

// A whole, valid RGBA PNG of width x height pixels, every byte 0. Each row is its filter byte
// and 4 x width zeros; the stream is one deflated unit of rows repeated, so a 16,000 x 16,000
// image (1 GB decoded) takes about a megabyte and is written in moments.
inline std::vector<unsigned char> zeroPng(std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    detail::appendU4(header, width);
    detail::appendU4(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    detail::appendPngChunk(png, "IHDR", header);

    const std::uint32_t rows = detail::rowsPerUnit(height);
    const std::size_t unitBytes = static_cast<std::size_t>(rows) * (1 + 4 * std::size_t{width});
    const std::vector<unsigned char> unit = detail::zeroBlocks(unitBytes);
    const std::vector<unsigned char> zeros(unitBytes, 0);
    const uLong unitAdler =
        adler32(adler32(0L, nullptr, 0), zeros.data(), static_cast<uInt>(unitBytes));
    uLong adler = adler32(0L, nullptr, 0);
    std::vector<unsigned char> stream{0x78, 0xDA};  // zlib header: deflate, best compression
    for (std::uint32_t done = 0; done < height; done += rows) {
        stream.insert(stream.end(), unit.begin(), unit.end());
        adler = adler32_combine(adler, unitAdler, static_cast<z_off_t>(unitBytes));
    }
    stream.insert(stream.end(), {0x03, 0x00});  // an empty final block of fixed codes
    detail::appendU4(stream, static_cast<std::uint32_t>(adler));
    detail::appendPngChunk(png, "IDAT", stream);
    detail::appendPngChunk(png, "IEND", {});
    return png;
}

// A layer of stars, each corners points round a circle of its own, joined by stepping step
// points round it at a time (step and corners without a common factor visit every point once).
// Each star is one polygon of the surface "Star", a little above the last.
inline Model starModel(std::uint32_t stars, std::uint32_t corners, std::uint32_t step) {
    Model model;
    model.tags = {"Star"};
    model.surfaces = {Surface{"Star", 0.9f, 0.8f, 0.2f}};
    Layer layer;
    for (std::uint32_t s = 0; s < stars; ++s) {
        const std::uint32_t first = static_cast<std::uint32_t>(layer.points.size());
        for (std::uint32_t k = 0; k < corners; ++k) {
            const double angle = 6.283185307179586 * k / corners;
            layer.points.push_back(Point{static_cast<float>(std::cos(angle)),
                                         static_cast<float>(std::sin(angle)),
                                         static_cast<float>(s) * 0.01f});
        }
        Polygon star;
        for (std::uint32_t k = 0; k < corners; ++k)
            star.corners.push_back(first +
                                   static_cast<std::uint32_t>((std::uint64_t{k} * step) % corners));
        layer.polygons.push_back(star);
    }
    model.layers.push_back(layer);
    return model;
}

// A square whose surface lays the image named file on by planar projection, through CLIP 1.
inline std::vector<unsigned char> modelNamingImage(const std::string& file) {
    Model model = starModel(1, 4, 1);
    Bytes still;
    still.s0(file);
    Bytes clip;
    clip.u4(1).append(subchunk("STIL", still));
    Bytes channel, enabled, ordinal, projection, axis, image;
    channel.id("COLR");
    enabled.u2(1);
    ordinal.s0("\x80").append(subchunk("CHAN", channel)).append(subchunk("ENAB", enabled));
    projection.u2(0);
    axis.u2(2);
    image.vx(1);
    Bytes block;
    block.append(subchunk("IMAP", ordinal)).append(subchunk("PROJ", projection));
    block.append(subchunk("AXIS", axis)).append(subchunk("IMAG", image));
    Bytes surface;
    surface.s0("Star").s0("").append(subchunk("BLOK", block));
    model.surfaces.clear();
    model.extraChunks = {chunk("CLIP", clip), chunk("SURF", surface)};
    return write(model);
}

}  // namespace bm::lwo
