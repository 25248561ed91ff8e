// TEntity.h - entities, the entity registry the renderer draws, and the model loader's records.
#pragma once

#include "Lwo2Reader.h"
#include "TSurface.h"
#include "TTexture.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

// LoadLWO's flags, combined with |. Flags 0 and 1 load the mesh alone, white and untextured,
// with the whole report.
constexpr std::int32_t BrackmoorLwoQuiet = 2;     // report only the "LoadLWO:" problem lines
constexpr std::int32_t BrackmoorLwoSurfaces = 4;  // colours, vertex colours, UV maps, images
constexpr std::int32_t BrackmoorLwoNormals = 8;   // smoothed normals
// LightWave's left-handed coordinates made the engine's: z negated, triangles turned round, so
// the engine's camera sees the model as LightWave's does, front first.
constexpr std::int32_t BrackmoorLwoRightHanded = 16;
// Within each surface, corners that agree on position, colour, texture coordinates and normal
// share one vertex, and a surface takes triangles while its vertices fit 8-bit indices: the same
// picture from fewer vertices, less memory and fewer draws.
constexpr std::int32_t BrackmoorLwoCompact = 32;

namespace bm {
// What one LoadLWO read and made, for a caller that reports it.
struct LwoSummary {
    bool read = false;          // the file opened and begins as an LWO2 or LWOB object
    std::size_t points = 0;     // over every layer
    std::size_t polygons = 0;   // read, whatever their corner count
    std::size_t triangles = 0;  // drawn: what the polygons became
    std::size_t surfaces = 0;   // LightWave surfaces the polygons use; 0 unless their looks are
                                // read (BrackmoorLwoSurfaces or BrackmoorLwoNormals)
    std::size_t images = 0;     // image files loaded into textures
};

// True when the bytes begin as a LightWave object: FORM, its size, then LWO2 or LWOB.
bool isLightWaveObject(const unsigned char* data, std::size_t size);
}  // namespace bm

class TEntityClass {
public:
    std::int32_t ID;                      // from gNumEntities; the registry's key
    TTextureClass name;                   // bound before drawing when its Tname is not 0
    GLfloat X, Y, Z;                      // position, world units
    GLfloat Xr, Yr, Zr;                   // rotation about X, Y, Z, degrees
    std::int32_t parentID;                // ID of the entity it is placed in; -1 for none
    GLfloat scaleX, scaleY, scaleZ;       // along its own axes; 1 for none
    GLfloat pivotX, pivotY, pivotZ;       // point it turns and scales about, its own coordinates
    short headingPitchBank;               // switch: 1 turns Yr, Xr, Zr as heading, pitch, bank
    GLfloat Red, Green, Blue, Alpha;      // entity colour, 0 to 1
    std::int32_t surfaceCount;            // entries of Surface
    short hidden;                         // drawn only while -1
    std::vector<TSurfaceClass*> Surface;  // shared with the registry copy; lives until exit
    short fullBright;                     // effect switches: 1 on, -1 off
    short vertexColour;
    short flatShaded;
    short disableFog;
    short backfaceCulling;  // 1 draws the entity with face culling off
    short alphaBlending;
    bool created;  // set by CreateEntity; an entity never created is not registered

    TEntityClass();

    void CreateEntity();
    std::int32_t CreateSurface();
    void PositionEntity(GLfloat x, GLfloat y, GLfloat z);
    void RotateEntity(GLfloat pitch, GLfloat yaw, GLfloat roll);
    // Heading about Y, then pitch about X, then bank about Z, degrees: Ry · Rx · Rz applied to its
    // points, bank first. Stored in Yr, Xr and Zr; RotateEntity brings back its own order.
    void RotateEntityHPB(GLfloat heading, GLfloat pitch, GLfloat bank);
    void ScaleEntity(GLfloat x, GLfloat y, GLfloat z);
    // The point, in its own coordinates, that it turns and scales about and that its position
    // places.
    void EntityPivot(GLfloat x, GLfloat y, GLfloat z);
    // Places, turns and scales it in the parent's own coordinates (the parent's pivot is part of
    // them). Null, an entity never created, or itself, makes it a root again.
    void EntityParent(const TEntityClass* parent);
    // Its world matrix from the registry's records (see BrackmoorTransform.h); false, m the
    // identity, when it has no record.
    bool EntityWorldMatrix(GLfloat m[16]) const;
    void EntityTexture(TTextureClass texture, std::int32_t surfaceID, std::int32_t textureIndex);
    void EntityFX(std::int32_t fx);
    // Copies this entity into its registry record and moves the record to the back.
    void updateRegistry();

    void CreateCube();
    void CreateQuad();
    void LoadLWO(const std::string& filename, std::int32_t Flags);
    // The same load, telling the caller what it read in summary.
    void LoadLWO(const std::string& filename, std::int32_t Flags, bm::LwoSummary& summary);
};

namespace bm {
// Value-initialised objects handed out side by side in blocks, kept until the pool is destroyed.
// Registrations walk records and surfaces in creation order; neighbours stay in cache together.
template <typename T>
class BlockPool {
public:
    T& next() {
        if (blocks.empty() || usedInLastBlock == blockSize) {
            blocks.reserve(blocks.size() + 1);
            blocks.emplace_back(new T[blockSize]());
            usedInLastBlock = 0;
        }
        return blocks.back()[usedInLastBlock++];
    }

private:
    static constexpr std::size_t blockSize = 256;
    std::vector<std::unique_ptr<T[]>> blocks;
    std::size_t usedInLastBlock = 0;
};
}  // namespace bm

// The records the renderer draws, at most one per entity ID, in registration order.
class TEntityRegistryClass {
public:
    using List = std::list<TEntityClass*>;

    TEntityRegistryClass() = default;
    TEntityRegistryClass(const TEntityRegistryClass&) = delete;
    TEntityRegistryClass& operator=(const TEntityRegistryClass&) = delete;
    ~TEntityRegistryClass();  // releases every record and every surface

    List::const_iterator begin() const { return records.begin(); }
    List::const_iterator end() const { return records.end(); }
    std::size_t size() const { return records.size(); }
    bool empty() const { return records.empty(); }
    const TEntityClass* find(std::int32_t id) const;

    void registerCopy(const TEntityClass& entity);
    // A new surface, every field zero, held by the registry until it is destroyed. Surfaces are
    // shared by pointer between entities and their records.
    TSurfaceClass& newSurface() { return surfacePool.next(); }

private:
    bm::BlockPool<TEntityClass> recordPool;    // every record, until exit
    bm::BlockPool<TSurfaceClass> surfacePool;  // surfaces made by CreateSurface
    List records;
    std::unordered_map<std::int32_t, List::iterator> placeOfId;
};

extern TEntityRegistryClass TEntityRegistry;

namespace bm {
// An object file as LoadLWO reads it, before anything is built from it.
struct LwoFile {
    bool opened = false;  // the file could be opened
    bool read = false;    // and it begins as an LWO2 or LWOB object
    Lwo2Data lwo;         // with looks, maps and clips when the flags want surfaces or normals
};

// LoadLWO's first half: opens and reads the file, printing on standard output what LoadLWO
// prints for it (with BrackmoorLwoQuiet, its problem lines only). No GL.
LwoFile readLwoFile(const std::string& filename, std::int32_t flags);

struct ImageCache;
// LoadLWO's second half: builds the entity's surfaces from lwo as LoadLWO does with these flags,
// its images found beside modelFile, and fills summary's points, polygons, triangles, surfaces
// and images. With a cache, an image file already loaded through it is not loaded again.
void convertLwo(TEntityClass& entity, const Lwo2Data& lwo, const std::string& modelFile,
                std::int32_t flags, LwoSummary& summary, ImageCache* images = nullptr);

struct ModelLooks;
// Turns the reader's polygons into triangles on new surfaces of entity, then registers it.
// BrackmoorLwoSurfaces in flags gives each surface of the model its own run of surfaces, with
// its colours and, where looks were found with their images loaded into textures (one per look,
// Tname 0 for none), its texture coordinates and image; BrackmoorLwoNormals adds normals. Without
// looks they are found here, every image left out.
void addLwo2Surface(TEntityClass& entity, const Lwo2Data& lwo, std::ostream& report,
                    std::int32_t flags = 0, const ModelLooks* looks = nullptr,
                    const std::vector<TTextureClass>* textures = nullptr);
}  // namespace bm
