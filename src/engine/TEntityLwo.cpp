// TEntityLwo.cpp - loading a LightWave object into an entity: the file read and the mesh
// conversion.
#include "TEntity.h"

#include "BrackmoorMemory.h"
#include "Lwo2Appearance.h"
#include "Lwo2Geometry.h"
#include "Lwo2Report.h"
#include "Lwo2Triangulator.h"
#include "LwobReader.h"
#include "TEntityLwoCompact.h"
#include "TEntityLwoImages.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

using bm::CornerParts;
using bm::CornerValues;
using bm::ModelLooks;
using bm::Triangle;
using bm::Triangulator;

constexpr std::size_t trianglesPerSurface = 85;  // 255 vertices: every index fits in 8 bits
constexpr short switchOn = 1;

std::size_t surfacesFor(std::size_t triangles) {
    return (triangles + trianglesPerSurface - 1) / trianglesPerSurface;
}

constexpr std::size_t verticesPerSurface = 3 * trianglesPerSurface;

// Every surface numbers its vertices 0, 1, 2, ... in the order they are written.
const std::array<unsigned char, verticesPerSurface>& vertexNumbers() {
    static const auto numbers = [] {
        std::array<unsigned char, verticesPerSurface> out{};
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<unsigned char>(i);
        return out;
    }();
    return numbers;
}

// Opaque white for every vertex of a surface, copied in one block rather than set value by value.
const std::array<GLfloat, 4 * verticesPerSurface>& opaqueWhite() {
    static const auto white = [] {
        std::array<GLfloat, 4 * verticesPerSurface> out{};
        out.fill(1.0f);
        return out;
    }();
    return white;
}

// The report's line for each triangle of a surface, "Vert1:0 Vert2:1 Vert3:2" to "Vert1:252
// Vert2:253 Vert3:254". Every surface numbers from 0, so a run's lines are these over and over:
// they are formatted once and copied.
class TriangleLines {
public:
    TriangleLines() {
        ends[0] = 0;
        for (std::size_t t = 0; t < trianglesPerSurface; ++t) {
            text += "Vert1:" + std::to_string(3 * t) + " Vert2:" + std::to_string(3 * t + 1) +
                    " Vert3:" + std::to_string(3 * t + 2) + "\n";
            ends[t + 1] = text.size();
        }
    }
    // The lines of a surface's first `triangles` triangles.
    std::string_view first(std::size_t triangles) const {
        return std::string_view(text.data(), ends[triangles]);
    }

private:
    std::string text;
    std::size_t ends[trianglesPerSurface + 1];  // where the first k lines end
};

// The lines of a run of `triangles` triangles, spread over surfaces 85 at a time.
void reportTriangles(bm::ReportWriter& out, std::size_t triangles) {
    if (out.isQuiet())
        return;
    static const TriangleLines lines;
    for (; triangles > trianglesPerSurface; triangles -= trianglesPerSurface)
        out.text(lines.first(trianglesPerSurface));
    out.text(lines.first(triangles));
}

// About what a conversion takes from malloc in small blocks: the list of polygons to draw and
// the surfaces' arrays, headers included, as if every polygon were drawn. Less is harmless: the
// last surfaces' pages then fault in as they are written, as without help. More has the second
// thread provide pages the fill never reaches, which go back when the room is released. The
// surfaces themselves come in blocks of 256, which may be mapped apart from the heap, and are not
// counted. Shared vertices are reckoned at one a triangle, what a grid of quads comes to in a
// surface of 256 vertices, and without normals at a position each, as when they have one colour.
std::size_t fillBytes(const bm::Lwo2Data& lwo, CornerParts parts, bool compact) {
    std::size_t triangles = 0;
    for (const FaceData& face : lwo.Faces)
        if (face.VertexCount >= 3)
            triangles += static_cast<std::size_t>(face.VertexCount) - 2;
    const std::size_t floatsPerVertex =
        compact && !parts.normals ? 3 : 3 + 4 + 2 + (parts.normals ? 3 : 0);
    const std::size_t arrays = parts.normals ? 5 : 4;
    constexpr std::size_t header = 8;
    const std::size_t vertices = compact ? triangles : 3 * triangles;
    const std::size_t surfaces = compact ? surfacesFor(triangles) / 3 + 1 : surfacesFor(triangles);
    return lwo.Faces.size() * sizeof(std::uint32_t) + vertices * floatsPerVertex * sizeof(GLfloat) +
           3 * triangles + surfaces * arrays * header;
}

// Fills runs of the entity's surfaces with three fresh vertices per triangle, 85 triangles to a
// surface. Each surface is sized once for the triangles it will hold and filled in place.
class SurfaceFiller {
public:
    SurfaceFiller(TEntityClass& target, const std::vector<VertexData>& meshPoints,
                  CornerParts parts, bm::HeapPrefault& heap)
        : entity(target), points(meshPoints), wanted(parts), prefault(heap) {}

    // The next `triangles` triangles go on new surfaces, drawn with texture when it is given,
    // and unlit when fullBright.
    void startRun(std::size_t triangles, const TTextureClass* texture, bool fullBright) {
        remaining = triangles;
        runTexture = texture;
        runFullBright = fullBright;
        entity.Surface.reserve(entity.Surface.size() + surfacesFor(triangles));
        left = 0;
    }

    // corners: the triangle's corners' positions in their polygon, whose values are computed.
    void add(const Triangle& t, const CornerValues* values, const std::size_t* corners) {
        if (left == 0)
            open();
        --left;
        // Mirrored in z, a triangle keeps its front only with its corners the other way round.
        const std::int32_t second = wanted.rightHanded ? t.c : t.b;
        const std::int32_t third = wanted.rightHanded ? t.b : t.c;
        const std::size_t secondAt = wanted.rightHanded ? 2 : 1, thirdAt = 3 - secondAt;
        writeCorner(t.a, values, corners ? corners[0] : 0);
        writeCorner(second, values, corners ? corners[secondAt] : 0);
        writeCorner(third, values, corners ? corners[thirdAt] : 0);
    }

    // A model without triangles still gets its one empty surface.
    void finish() {
        if (entity.Surface.empty() || !madeAny)
            entity.CreateSurface();
    }

private:
    void open();
    void writeCorner(std::int32_t point, const CornerValues* values, std::size_t corner) {
        const VertexData& p = points[static_cast<std::size_t>(point)];
        position[0] = p.X;
        position[1] = p.Y;
        position[2] = wanted.rightHanded ? -p.Z : p.Z;
        position += 3;
        if (values != nullptr)
            writeValues(*values, corner);
    }
    void writeValues(const CornerValues& values, std::size_t corner);

    TEntityClass& entity;
    const std::vector<VertexData>& points;
    CornerParts wanted;
    bm::HeapPrefault& prefault;
    std::size_t remaining = 0;  // triangles of the run not yet on a surface
    std::size_t left = 0;       // triangles the open surface still has room for
    const TTextureClass* runTexture = nullptr;
    bool runFullBright = false;
    bool normalsHere = false;  // the open surface has normals
    // The open surface's next vertex, in each of its arrays.
    GLfloat* position = nullptr;
    GLfloat* colour = nullptr;
    GLfloat* uv = nullptr;
    GLfloat* normal = nullptr;
    bool madeAny = false;
};

void SurfaceFiller::open() {
    TSurfaceClass* surface = entity.Surface[static_cast<std::size_t>(entity.CreateSurface())];
    madeAny = true;
    left = std::min(remaining, trianglesPerSurface);
    remaining -= left;
    const std::size_t vertices = 3 * left;
    surface->verts.resize(3 * vertices);
    surface->vertexColours.assign(opaqueWhite().begin(), opaqueWhite().begin() + 4 * vertices);
    surface->tverts.resize(2 * vertices);  // (0, 0)
    // A surface drawn unlit needs no normals.
    normalsHere = wanted.normals && !runFullBright;
    if (normalsHere)
        surface->normals.resize(3 * vertices);
    surface->triangleIndex.assign(vertexNumbers().begin(), vertexNumbers().begin() + vertices);
    surface->vertexPoints = static_cast<std::int32_t>(vertices);
    position = surface->verts.data();
    colour = surface->vertexColours.data();
    uv = surface->tverts.data();
    normal = surface->normals.data();
    prefault.reached(surface->triangleIndex.data() + vertices);
    if (wanted.colours) {
        // The surface shows its own image, or none at all: never the application's.
        surface->fxOwnTexture = switchOn;
        if (runTexture != nullptr)
            surface->textureID[0] = *runTexture;
    }
    if (runFullBright)
        surface->fxFullBright = switchOn;
}

void SurfaceFiller::writeValues(const CornerValues& values, std::size_t corner) {
    if (wanted.colours) {
        std::copy_n(values.colour(corner), 4, colour);
        std::copy_n(values.uv(corner), 2, uv);
    }
    colour += 4;
    uv += 2;
    if (normalsHere) {
        std::copy_n(values.normal(corner), 3, normal);
        if (wanted.rightHanded)
            normal[2] = -normal[2];
        normal += 3;
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

// Splits polygons into triangles onto the filler's surfaces, with their corners' colours,
// texture coordinates and normals when there are values.
class PolygonSplitter {
public:
    PolygonSplitter(const bm::Lwo2Data& model, CornerValues* cornerValues)
        : lwo(model), values(cornerValues), triangulator(model.Vertices) {}

    template <typename Filler>
    void fill(std::uint32_t polygon, Filler& filler) {
        const FaceData& face = lwo.Faces[polygon];
        const std::int32_t* corners = lwo.Corners.data() + face.FirstCorner;
        const auto count = static_cast<std::size_t>(face.VertexCount);
        if (values)
            values->compute(polygon);
        // Triangles and quads, most of a model, need no list.
        Triangle small[2];
        const Triangle* made = small;
        std::size_t madeCount = triangulator.splitSmall(corners, count, small);
        if (madeCount == 0) {
            triangles.clear();
            triangulator.split(corners, count, triangles);
            made = triangles.data();
            madeCount = triangles.size();
        }
        for (const Triangle* t = made; t < made + madeCount; ++t) {
            std::size_t at[3] = {0, 0, 0};
            if (values)
                cornersOf(*t, corners, count, at);
            filler.add(*t, values, at);
        }
    }

private:
    const bm::Lwo2Data& lwo;
    CornerValues* values;
    Triangulator triangulator;
    std::vector<Triangle> triangles;
};

// The drawn polygons in drawing order, split into runs: one run in file order, or with surfaces
// one run per surface in the order of the looks, each in file order.
struct Runs {
    std::vector<std::uint32_t> polygons;
    std::vector<std::size_t> start;      // per run, where its polygons start; one more at the end
    std::vector<std::size_t> triangles;  // per run
};

// Without looks, every drawable polygon is in the one run: a single pass finds them.
Runs singleRun(const bm::Lwo2Data& lwo) {
    Runs runs;
    runs.polygons.reserve(lwo.Faces.size());
    std::size_t triangles = 0;
    for (std::size_t i = 0; i < lwo.Faces.size(); ++i) {
        if (!drawable(lwo.Faces[i], lwo))
            continue;
        runs.polygons.push_back(static_cast<std::uint32_t>(i));
        triangles += static_cast<std::size_t>(lwo.Faces[i].VertexCount) - 2;
    }
    runs.start = {0, runs.polygons.size()};
    runs.triangles = {triangles};
    return runs;
}

Runs runsOf(const bm::Lwo2Data& lwo, const ModelLooks* looks) {
    if (looks == nullptr)
        return singleRun(lwo);
    const std::size_t runCount = looks->looks.size();
    Runs runs;
    runs.start.assign(runCount + 1, 0);
    runs.triangles.assign(runCount, 0);
    std::vector<std::int32_t> runOf(lwo.Faces.size(), -1);
    for (std::size_t i = 0; i < lwo.Faces.size(); ++i) {
        if (!drawable(lwo.Faces[i], lwo))
            continue;
        runOf[i] = looks->lookOfPolygon[i];
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

// The whole file: the size is what ftell reports, the data what could be had. A regular file is
// mapped, its pages the kernel's cached ones, neither copied nor new memory of this process;
// anything else is read into memory.
class WholeFile {
public:
    WholeFile(std::FILE* file, bool quiet) {
        std::fseek(file, 0, SEEK_END);
        size = std::max(std::ftell(file), 0L);
        std::fseek(file, 0, SEEK_SET);
        const bool mapped = size > 0 && map(fileno(file));
        if (!mapped) {
            buffer.reset(new (std::nothrow) unsigned char[size]);
            if (!buffer) {
                std::cout << "LoadLWO: Could not allocate buffer " << size << " Bytes" << std::endl;
                std::exit(1);
            }
        }
        if (!quiet)
            std::cout << "Loading " << size << " Bytes" << std::endl;
        if (!mapped) {
            got = std::fread(buffer.get(), 1, static_cast<std::size_t>(size), file);
            bytes = buffer.get();
        }
    }
    ~WholeFile() {
        if (mapping != nullptr)
            munmap(mapping, static_cast<std::size_t>(size));
    }
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    const unsigned char* bytes = nullptr;
    long size = 0;        // as ftell reports it
    std::size_t got = 0;  // bytes to be had

private:
    bool map(int fd) {
        struct stat about {};
        if (fd < 0 || fstat(fd, &about) != 0 || !S_ISREG(about.st_mode) || about.st_size != size)
            return false;
        void* at = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ,
                        MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (at == MAP_FAILED)
            return false;
        mapping = at;
        bytes = static_cast<const unsigned char*>(at);
        got = static_cast<std::size_t>(size);
        return true;
    }

    void* mapping = nullptr;
    std::unique_ptr<unsigned char[]> buffer;
};

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
    const bm::LwoFile file = bm::readLwoFile(filename, Flags);
    if (!file.opened)
        return;
    summary.read = file.read;
    bm::convertLwo(*this, file.lwo, filename, Flags, summary);
}

namespace bm {

LwoFile readLwoFile(const std::string& filename, std::int32_t flags) {
    LwoFile out;
    const bool quiet = (flags & BrackmoorLwoQuiet) != 0;
    if (!quiet)
        std::cout << "STARTED:Lightwave Loader v1.0" << std::endl;
    FilePtr file(std::fopen(filename.c_str(), "rb"), &std::fclose);
    if (!file) {
        std::cout << "LoadLWO:Error loading " << filename << " could not file file." << std::endl;
        return out;
    }
    out.opened = true;
    if (!quiet)
        std::cout << "file exists, loading..." << std::endl;
    const WholeFile whole(file.get(), quiet);
    file.reset();
    const unsigned char* const data = whole.bytes;
    const std::size_t got = whole.got;
    if (got != static_cast<std::size_t>(whole.size))
        std::cout << "LoadLWO: read " << got << " of " << whole.size << " Bytes of " << filename
                  << std::endl;
    Lwo2Options options;
    options.quiet = quiet;
    options.appearance = (flags & (BrackmoorLwoSurfaces | BrackmoorLwoNormals)) != 0;
    out.lwo = readLwo2(data, got, std::cout, filename, options);
    out.read = isLightWaveObject(data, got);
    return out;
}

void convertLwo(TEntityClass& entity, const Lwo2Data& lwo, const std::string& modelFile,
                std::int32_t flags, LwoSummary& summary, ImageCache* images) {
    summary.points = lwo.Vertices.size();
    summary.polygons = lwo.Faces.size();
    const std::size_t firstNewSurface = entity.Surface.size();
    if ((flags & (BrackmoorLwoSurfaces | BrackmoorLwoNormals)) == 0) {
        addLwo2Surface(entity, lwo, std::cout, flags);
        summary.triangles = trianglesFrom(entity.Surface, firstNewSurface);
        return;
    }
    ModelLooks looks;
    std::vector<TTextureClass> textures;
    {
        ReportWriter out(std::cout, (flags & BrackmoorLwoQuiet) != 0);
        looks = findLooks(lwo, out, (flags & BrackmoorLwoSurfaces) != 0);
        if ((flags & BrackmoorLwoSurfaces) != 0)
            textures = loadLookImages(looks, modelFile, out, images);
    }
    addLwo2Surface(entity, lwo, std::cout, flags, &looks, &textures);
    summary.triangles = trianglesFrom(entity.Surface, firstNewSurface);
    summary.surfaces = looks.looks.size();
    summary.images = texturesLoaded(textures);
}

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
    // The surfaces' arrays are kept until exit, so their pages are new: a second thread has the
    // kernel provide them while this one works out what goes in them, and fills them.
    const bool compact = (flags & BrackmoorLwoCompact) != 0;
    HeapPrefault prefault(fillBytes(lwo, parts, compact));
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
    PolygonSplitter splitter(lwo, values.get());
    const auto fillRuns = [&](auto& filler, bool sharedVertices) {
        for (std::size_t run = 0; run + 1 < runs.start.size(); ++run) {
            const bool ownTexture =
                textures && parts.colours && run < textures->size() && (*textures)[run].Tname != 0;
            // With colours, runs are the looks, in their order.
            const bool fullBright = parts.colours && run < looks->looks.size() &&
                                    bm::showsFullBright(looks->looks[run]);
            filler.startRun(runs.triangles[run], ownTexture ? &(*textures)[run] : nullptr,
                            fullBright);
            // Shared vertices are numbered as they are found: each triangle's line is written
            // as it is placed.
            if (!sharedVertices)
                reportTriangles(out, runs.triangles[run]);
            for (std::size_t i = runs.start[run]; i < runs.start[run + 1]; ++i)
                splitter.fill(runs.polygons[i], filler);
        }
        filler.finish();
    };
    if (compact) {
        CompactFiller filler(entity, lwo.Vertices, parts, prefault, out);
        fillRuns(filler, true);
    } else {
        SurfaceFiller filler(entity, lwo.Vertices, parts, prefault);
        fillRuns(filler, false);
    }
    out.flush();
    entity.updateRegistry();
}

}  // namespace bm
