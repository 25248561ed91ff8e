// TEntityLwo.cpp - loading a LightWave object into an entity: the file read and the mesh
// conversion.
#include "TEntity.h"

#include "Lwo2Appearance.h"
#include "Lwo2Geometry.h"
#include "Lwo2Report.h"
#include "Lwo2Triangulator.h"
#include "LwobReader.h"
#include "TEntityLwoImages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <vector>

namespace {

using bm::CornerValues;
using bm::ModelLooks;
using bm::Triangle;

constexpr std::size_t trianglesPerSurface = 85;  // 255 vertices: every index fits in 8 bits
constexpr short switchOn = 1;

// What a conversion gives each corner beyond its position.
struct CornerParts {
    bool colours = false;      // its surface's colour, else opaque white
    bool uvs = false;          // its texture coordinates, else (0, 0)
    bool normals = false;      // its normal, else none
    bool rightHanded = false;  // z negated and the corners reversed, so fronts stay fronts
};

// Fills runs of the entity's surfaces with three fresh vertices per triangle, 85 triangles to a
// surface. Each surface is sized once for the triangles it will hold and filled in place.
class SurfaceFiller {
public:
    SurfaceFiller(TEntityClass& target, const std::vector<VertexData>& meshPoints,
                  bm::ReportWriter& report, CornerParts parts)
        : entity(target), points(meshPoints), out(report), wanted(parts) {}

    // The next `triangles` triangles go on new surfaces, drawn with texture when it is given.
    void startRun(std::size_t triangles, const TTextureClass* texture) {
        remaining = triangles;
        runTexture = texture;
        entity.Surface.reserve(entity.Surface.size() + (triangles + 84) / trianglesPerSurface);
        surface = nullptr;
    }

    // corners: the triangle's corners' positions in their polygon, whose values are computed.
    void add(const Triangle& t, const CornerValues* values, const std::size_t* corners) {
        if (surface == nullptr || filled == surface->triangleIndex.size())
            open();
        const std::int32_t first = static_cast<std::int32_t>(filled);
        const std::int32_t pointsOfTriangle[3] = {t.a, t.b, t.c};
        // Mirrored in z, a triangle keeps its front only with its corners the other way round.
        static constexpr int asRead[3] = {0, 1, 2}, reversed[3] = {0, 2, 1};
        const int* order = wanted.rightHanded ? reversed : asRead;
        for (int k = 0; k < 3; ++k)
            writeCorner(pointsOfTriangle[order[k]], values, corners ? corners[order[k]] : 0);
        out.text("Vert1:").number(first).text(" Vert2:").number(first + 1);
        out.text(" Vert3:").number(first + 2).endLine();
    }

    // A model without triangles still gets its one empty surface.
    void finish() {
        if (entity.Surface.empty() || !madeAny)
            entity.CreateSurface();
    }

private:
    void open();
    void writeCorner(std::int32_t point, const CornerValues* values, std::size_t corner);

    TEntityClass& entity;
    const std::vector<VertexData>& points;
    bm::ReportWriter& out;
    CornerParts wanted;
    std::size_t remaining = 0;  // triangles of the run not yet on a surface
    const TTextureClass* runTexture = nullptr;
    TSurfaceClass* surface = nullptr;
    std::size_t filled = 0;  // vertices written to surface
    bool madeAny = false;
};

void SurfaceFiller::open() {
    surface = entity.Surface[static_cast<std::size_t>(entity.CreateSurface())];
    madeAny = true;
    const std::size_t triangles = std::min(remaining, trianglesPerSurface);
    remaining -= triangles;
    const std::size_t vertices = 3 * triangles;
    surface->verts.resize(3 * vertices);
    surface->vertexColours.assign(4 * vertices, 1.0f);
    surface->tverts.assign(2 * vertices, 0.0f);
    if (wanted.normals)
        surface->normals.resize(3 * vertices);
    surface->triangleIndex.resize(vertices);
    for (std::size_t i = 0; i < vertices; ++i)
        surface->triangleIndex[i] = static_cast<unsigned char>(i);
    surface->vertexPoints = static_cast<std::int32_t>(vertices);
    filled = 0;
    if (wanted.colours) {
        // The surface shows its own image, or none at all: never the application's.
        surface->fxOwnTexture = switchOn;
        if (runTexture != nullptr)
            surface->textureID[0] = *runTexture;
    }
}

void SurfaceFiller::writeCorner(std::int32_t point, const CornerValues* values,
                                std::size_t corner) {
    const VertexData& p = points[static_cast<std::size_t>(point)];
    const std::size_t v = filled++;
    surface->verts[3 * v] = p.X;
    surface->verts[3 * v + 1] = p.Y;
    surface->verts[3 * v + 2] = wanted.rightHanded ? -p.Z : p.Z;
    if (values == nullptr)
        return;
    if (wanted.colours) {
        std::copy_n(values->colour(corner), 4, surface->vertexColours.begin() + 4 * v);
        std::copy_n(values->uv(corner), 2, surface->tverts.begin() + 2 * v);
    }
    if (wanted.normals) {
        std::copy_n(values->normal(corner), 3, surface->normals.begin() + 3 * v);
        if (wanted.rightHanded)
            surface->normals[3 * v + 2] = -surface->normals[3 * v + 2];
    }
}

// Positions, in the polygon, of a triangle's corners.
void cornersOf(const Triangle& t, const std::int32_t* polygon, std::size_t count,
               std::size_t* corners) {
    const std::int32_t points[3] = {t.a, t.b, t.c};
    for (int k = 0; k < 3; ++k)
        corners[k] =
            static_cast<std::size_t>(std::find(polygon, polygon + count, points[k]) - polygon);
}

// The drawn polygons in drawing order, split into runs: one run in file order, or with surfaces
// one run per surface in the order of the looks, each in file order.
struct Runs {
    std::vector<std::uint32_t> polygons;
    std::vector<std::size_t> start;      // per run, where its polygons start; one more at the end
    std::vector<std::size_t> triangles;  // per run
};

Runs runsOf(const bm::Lwo2Data& lwo, const ModelLooks* looks) {
    const std::size_t runCount = looks ? looks->looks.size() : 1;
    Runs runs;
    runs.start.assign(runCount + 1, 0);
    runs.triangles.assign(runCount, 0);
    std::vector<std::int32_t> runOf(lwo.Faces.size(), -1);
    for (std::size_t i = 0; i < lwo.Faces.size(); ++i) {
        if (!drawable(lwo.Faces[i], lwo))
            continue;
        runOf[i] = looks ? looks->lookOfPolygon[i] : 0;
        const std::size_t run = static_cast<std::size_t>(runOf[i]);
        ++runs.start[run + 1];
        runs.triangles[run] += static_cast<std::size_t>(lwo.Faces[i].VertexCount) - 2;
    }
    for (std::size_t r = 0; r < runCount; ++r)
        runs.start[r + 1] += runs.start[r];
    runs.polygons.resize(runs.start.back());
    std::vector<std::size_t> next(runs.start.begin(), runs.start.end() - 1);
    for (std::size_t i = 0; i < lwo.Faces.size(); ++i)
        if (runOf[i] >= 0)
            runs.polygons[next[static_cast<std::size_t>(runOf[i])]++] =
                static_cast<std::uint32_t>(i);
    return runs;
}

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The whole file in one read; the size is what ftell reports, the data what fread delivered.
std::unique_ptr<unsigned char[]> readWholeFile(std::FILE* file, long& size, std::size_t& got,
                                               bool quiet) {
    std::fseek(file, 0, SEEK_END);
    size = std::max(std::ftell(file), 0L);
    std::fseek(file, 0, SEEK_SET);
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[size]);
    if (!data) {
        std::cout << "LoadLWO: Could not allocate buffer " << size << " Bytes" << std::endl;
        std::exit(1);
    }
    if (!quiet)
        std::cout << "Loading " << size << " Bytes" << std::endl;
    got = std::fread(data.get(), 1, static_cast<std::size_t>(size), file);
    return data;
}

// Triangles on the surfaces from first on.
std::size_t trianglesFrom(const std::vector<TSurfaceClass*>& surfaces, std::size_t first) {
    std::size_t triangles = 0;
    for (std::size_t i = first; i < surfaces.size(); ++i)
        triangles += static_cast<std::size_t>(std::max(surfaces[i]->vertexPoints, 0)) / 3;
    return triangles;
}

// Looks that share an image share its texture: each texture name counts once.
std::size_t texturesLoaded(const std::vector<TTextureClass>& textures) {
    std::vector<GLuint> names;
    for (const TTextureClass& t : textures)
        if (t.Tname != 0 && std::find(names.begin(), names.end(), t.Tname) == names.end())
            names.push_back(t.Tname);
    return names.size();
}

}  // namespace

void TEntityClass::LoadLWO(const std::string& filename, std::int32_t Flags) {
    bm::LwoSummary unused;
    LoadLWO(filename, Flags, unused);
}

void TEntityClass::LoadLWO(const std::string& filename, std::int32_t Flags,
                           bm::LwoSummary& summary) {
    summary = bm::LwoSummary{};
    const bool quiet = (Flags & BrackmoorLwoQuiet) != 0;
    if (!quiet)
        std::cout << "STARTED:Lightwave Loader v1.0" << std::endl;
    FilePtr file(std::fopen(filename.c_str(), "rb"), &std::fclose);
    if (!file) {
        std::cout << "LoadLWO:Error loading " << filename << " could not file file." << std::endl;
        return;
    }
    if (!quiet)
        std::cout << "file exists, loading..." << std::endl;
    long size = 0;
    std::size_t got = 0;
    const std::unique_ptr<unsigned char[]> data = readWholeFile(file.get(), size, got, quiet);
    file.reset();
    if (got != static_cast<std::size_t>(size))
        std::cout << "LoadLWO: read " << got << " of " << size << " Bytes of " << filename
                  << std::endl;
    bm::Lwo2Options options;
    options.quiet = quiet;
    options.appearance = (Flags & (BrackmoorLwoSurfaces | BrackmoorLwoNormals)) != 0;
    const bm::Lwo2Data lwo = bm::readLwo2(data.get(), got, std::cout, filename, options);
    summary.read = bm::isLightWaveObject(data.get(), got);
    summary.points = lwo.Vertices.size();
    summary.polygons = lwo.Faces.size();
    const std::size_t firstNewSurface = Surface.size();
    if (!options.appearance) {
        bm::addLwo2Surface(*this, lwo, std::cout, Flags);
        summary.triangles = trianglesFrom(Surface, firstNewSurface);
        return;
    }
    bm::ModelLooks looks;
    std::vector<TTextureClass> textures;
    {
        bm::ReportWriter out(std::cout, quiet);
        looks = bm::findLooks(lwo, out, (Flags & BrackmoorLwoSurfaces) != 0);
        if ((Flags & BrackmoorLwoSurfaces) != 0)
            textures = bm::loadLookImages(looks, filename, out);
    }
    bm::addLwo2Surface(*this, lwo, std::cout, Flags, &looks, &textures);
    summary.triangles = trianglesFrom(Surface, firstNewSurface);
    summary.surfaces = looks.looks.size();
    summary.images = texturesLoaded(textures);
}

namespace bm {

bool isLightWaveObject(const unsigned char* data, std::size_t size) {
    return isLwob(data, size) || (size >= 12 && std::memcmp(data, "FORM", 4) == 0 &&
                                  std::memcmp(data + 8, "LWO2", 4) == 0);
}

void addLwo2Surface(TEntityClass& entity, const Lwo2Data& lwo, std::ostream& report,
                    std::int32_t flags, const ModelLooks* looks,
                    const std::vector<TTextureClass>* textures) {
    ReportWriter out(report, (flags & BrackmoorLwoQuiet) != 0);
    CornerParts parts;
    parts.colours = (flags & BrackmoorLwoSurfaces) != 0;
    parts.uvs = parts.colours;
    parts.normals = (flags & BrackmoorLwoNormals) != 0;
    parts.rightHanded = (flags & BrackmoorLwoRightHanded) != 0;
    ModelLooks found;
    if ((parts.colours || parts.normals) && looks == nullptr) {
        found = findLooks(lwo, out, parts.colours);
        looks = &found;
    }
    out.text("Converting LWO mesh data to Brackmoor Entity data...").endLine();
    out.flush();
    entity.CreateEntity();
    std::unique_ptr<CornerValues> values;
    if (looks != nullptr)
        values = std::make_unique<CornerValues>(lwo, *looks, parts.normals);
    const Runs runs = runsOf(lwo, parts.colours ? looks : nullptr);
    SurfaceFiller filler(entity, lwo.Vertices, out, parts);
    Triangulator triangulator(lwo.Vertices);
    std::vector<Triangle> triangles;
    for (std::size_t run = 0; run + 1 < runs.start.size(); ++run) {
        const bool ownTexture =
            textures && parts.colours && run < textures->size() && (*textures)[run].Tname != 0;
        filler.startRun(runs.triangles[run], ownTexture ? &(*textures)[run] : nullptr);
        for (std::size_t i = runs.start[run]; i < runs.start[run + 1]; ++i) {
            const FaceData& face = lwo.Faces[runs.polygons[i]];
            const std::int32_t* corners = lwo.Corners.data() + face.FirstCorner;
            const std::size_t count = static_cast<std::size_t>(face.VertexCount);
            if (values)
                values->compute(runs.polygons[i]);
            triangles.clear();
            triangulator.split(corners, count, triangles);
            for (const Triangle& t : triangles) {
                std::size_t at[3] = {0, 0, 0};
                if (values)
                    cornersOf(t, corners, count, at);
                filler.add(t, values.get(), at);
            }
        }
    }
    filler.finish();
    out.flush();
    entity.updateRegistry();
}

}  // namespace bm
