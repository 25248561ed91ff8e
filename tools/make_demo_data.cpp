// make_demo_data.cpp - writes the demonstration's model "Zarodoru.lwo" and texture "RAWTest".
#include "Lwo2Writer.h"

#include <cmath>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using bm::lwo::Layer;
using bm::lwo::Point;
using bm::lwo::Polygon;

const double kPi = 3.14159265358979323846;
const int kSides = 8;              // the hull is an octagonal solid of revolution
const std::uint32_t kHullTag = 0;  // light grey body
const std::uint32_t kTrimTag = 1;  // red nose, nozzle and fins

// Coordinates on a 1/10000 grid, so the file's bytes do not hang on the last bit of cos().
float grid(double value) {
    return static_cast<float>(std::round(value * 10000.0) / 10000.0);
}

std::uint32_t addPoint(Layer& layer, double x, double y, double z) {
    layer.points.push_back(Point{grid(x), grid(y), grid(z)});
    return static_cast<std::uint32_t>(layer.points.size() - 1);
}

void addPolygon(Layer& layer, std::vector<std::uint32_t> corners, std::uint32_t tag) {
    layer.polygons.push_back(Polygon{std::move(corners), tag});
}

// One ring of the hull: radius and height, from the nozzle's mouth up to the nose.
struct Ring {
    double radius, y;
    std::uint32_t tag;  // tag of the band from this ring up to the next
};

const std::vector<Ring> kProfile = {
    {0.22, -1.10, kTrimTag},  // nozzle mouth
    {0.14, -0.92, kTrimTag},  // nozzle throat
    {0.34, -0.92, kHullTag},  // flat underside of the body
    {0.34, -0.65, kHullTag}, {0.34, -0.40, kHullTag}, {0.34, -0.15, kHullTag},
    {0.34, 0.10, kHullTag},  {0.34, 0.35, kHullTag},  {0.34, 0.55, kTrimTag},
    {0.30, 0.75, kTrimTag},  {0.22, 0.92, kTrimTag},  {0.12, 1.04, kTrimTag},
};
const double kNoseTipY = 1.12;

// Hull rings as quads, the nose tip as triangles and the nozzle's mouth as one octagon.
void buildHull(Layer& layer) {
    std::vector<std::vector<std::uint32_t>> rings;
    for (const Ring& ring : kProfile) {
        std::vector<std::uint32_t> ids;
        for (int s = 0; s < kSides; ++s) {
            const double a = 2.0 * kPi * s / kSides;
            ids.push_back(
                addPoint(layer, ring.radius * std::cos(a), ring.y, -ring.radius * std::sin(a)));
        }
        rings.push_back(ids);
    }
    const std::uint32_t tip = addPoint(layer, 0.0, kNoseTipY, 0.0);
    for (std::size_t r = 0; r + 1 < rings.size(); ++r) {
        for (int s = 0; s < kSides; ++s) {
            const int n = (s + 1) % kSides;
            addPolygon(layer, {rings[r][s], rings[r][n], rings[r + 1][n], rings[r + 1][s]},
                       kProfile[r].tag);
        }
    }
    const std::vector<std::uint32_t>& top = rings.back();
    for (int s = 0; s < kSides; ++s)
        addPolygon(layer, {top[s], top[(s + 1) % kSides], tip}, kTrimTag);
    std::vector<std::uint32_t> mouth(rings.front().rbegin(), rings.front().rend());
    addPolygon(layer, mouth, kTrimTag);
}

// A swept fin's outline in (distance from the axis, height), counter-clockwise. The notch at
// the second corner makes it concave: a fan from the first corner would fill the notch in.
const std::vector<std::pair<double, double>> kFinOutline = {
    {0.78, -1.08}, {0.60, -0.80}, {0.66, -0.55}, {0.28, -0.30}, {0.28, -0.88}, {0.62, -1.08},
};
const double kFinHalfThickness = 0.03;

// A closed fin slab: two concave faces and a quad per outline edge.
void buildFin(Layer& layer, double angle) {
    const double rx = std::cos(angle), rz = -std::sin(angle);  // outward, in the fin's plane
    const double tx = -rz, tz = rx;                            // across the fin
    std::vector<std::uint32_t> front, back;
    for (const auto& [r, y] : kFinOutline) {
        front.push_back(
            addPoint(layer, r * rx + kFinHalfThickness * tx, y, r * rz + kFinHalfThickness * tz));
        back.push_back(
            addPoint(layer, r * rx - kFinHalfThickness * tx, y, r * rz - kFinHalfThickness * tz));
    }
    const std::size_t n = kFinOutline.size();
    addPolygon(layer, front, kTrimTag);
    addPolygon(layer, std::vector<std::uint32_t>(back.rbegin(), back.rend()), kTrimTag);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        addPolygon(layer, {front[j], front[i], back[i], back[j]}, kTrimTag);
    }
}

// Each edge of a closed, consistently wound surface is walked once in each direction.
bool isClosed(const Layer& layer, std::size_t firstPolygon) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    for (std::size_t p = firstPolygon; p < layer.polygons.size(); ++p) {
        const std::vector<std::uint32_t>& c = layer.polygons[p].corners;
        for (std::size_t i = 0; i < c.size(); ++i)
            ++edges[{c[i], c[(i + 1) % c.size()]}];
    }
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1)
            return false;
    }
    return true;
}

// Positive when the faces are wound counter-clockwise seen from outside.
double signedVolume(const Layer& layer, std::size_t firstPolygon) {
    double volume = 0.0;
    for (std::size_t p = firstPolygon; p < layer.polygons.size(); ++p) {
        const std::vector<std::uint32_t>& c = layer.polygons[p].corners;
        const Point& a = layer.points[c[0]];
        for (std::size_t i = 1; i + 1 < c.size(); ++i) {
            const Point& b = layer.points[c[i]];
            const Point& d = layer.points[c[i + 1]];
            volume += (a.x * (b.y * d.z - b.z * d.y) - a.y * (b.x * d.z - b.z * d.x) +
                       a.z * (b.x * d.y - b.y * d.x)) /
                      6.0;
        }
    }
    return volume;
}

bool checkShell(const Layer& layer, std::size_t firstPolygon, const char* name) {
    if (isClosed(layer, firstPolygon) && signedVolume(layer, firstPolygon) > 0.0)
        return true;
    std::cerr << "make_demo_data: the " << name << " is not a closed outward-wound shell\n";
    return false;
}

// Cylindrical UVs for the hull's points; the engine ignores them, other viewers may not.
bm::lwo::Bytes hullUvMap(const Layer& hull) {
    std::vector<bm::lwo::UvEntry> entries;
    for (std::uint32_t i = 0; i < hull.points.size(); ++i) {
        const Point& p = hull.points[i];
        const double u = (std::atan2(-p.z, p.x) + kPi) / (2.0 * kPi);
        entries.push_back({i, grid(u), grid((p.y + 1.2) / 2.4)});
    }
    return bm::lwo::uvMapChunk("HullUV", entries);
}

bool buildRocket(bm::lwo::Model& model) {
    model.tags = {"Hull", "RedTrim"};
    model.surfaces = {{"Hull", 0.80f, 0.82f, 0.85f, 1.0f}, {"RedTrim", 0.85f, 0.10f, 0.08f, 0.9f}};
    model.layers.resize(2);
    Layer& hull = model.layers[0];
    buildHull(hull);
    hull.vmap = hullUvMap(hull);
    bool sound = checkShell(hull, 0, "hull");
    Layer& fins = model.layers[1];
    for (int f = 0; f < 4; ++f) {
        const std::size_t first = fins.polygons.size();
        buildFin(fins, 2.0 * kPi * (f + 0.5) / 4.0);
        sound = checkShell(fins, first, "fin") && sound;
    }
    // An odd-length chunk, padded as IFF wants, that the engine passes over.
    bm::lwo::Bytes text;
    for (char c : std::string("Brackmoor demonstration rocket"))
        text.u1(static_cast<unsigned char>(c));
    text.u1(0);
    model.extraChunks.push_back(bm::lwo::chunk("TEXT", text));
    return sound;
}

// 128 x 128 RGBA, first row at t = 0: red, green, blue and yellow quadrants (bottom left,
// bottom right, top left, top right), a white square near the origin, a black cross through
// the middle and a white frame, so texture coordinate (0, 0) samples white.
std::vector<unsigned char> makeTexture() {
    const int size = 128;
    std::vector<unsigned char> pixels;
    pixels.reserve(size * size * 4);
    for (int t = 0; t < size; ++t) {
        for (int s = 0; s < size; ++s) {
            const bool right = s >= size / 2, top = t >= size / 2;
            unsigned char r = (!top && !right) || (top && right) ? 230 : 20;
            unsigned char g = right ? 210 : 20;
            unsigned char b = top && !right ? 230 : 20;
            const bool marker = s >= 12 && s < 44 && t >= 12 && t < 44;
            const bool frame = s < 2 || t < 2 || s >= size - 2 || t >= size - 2;
            const bool cross = std::abs(2 * s - (size - 1)) < 4 || std::abs(2 * t - (size - 1)) < 4;
            if (marker || frame)
                r = g = b = 255;
            else if (cross)
                r = g = b = 0;
            pixels.insert(pixels.end(), {r, g, b, 255});
        }
    }
    return pixels;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_demo_data <output directory>\n";
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bm::lwo::Model rocket;
    if (!buildRocket(rocket))
        return 1;
    if (!bm::lwo::writeFile(dir + "Zarodoru.lwo", bm::lwo::write(rocket)) ||
        !bm::lwo::writeFile(dir + "RAWTest", makeTexture())) {
        std::cerr << "make_demo_data: could not write into " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
