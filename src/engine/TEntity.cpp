// TEntity.cpp - entities and the entity registry.
#include "TEntity.h"

#include "BrackmoorTransform.h"
#include "BrackmoorVariables.h"

#include <iterator>
#include <utility>

namespace {
constexpr short switchOff = -1;
constexpr short switchOn = 1;
constexpr std::int32_t textureSlots = 8;
}  // namespace

TEntityClass::TEntityClass()
    : ID(0),
      name{},
      X(0),
      Y(0),
      Z(0),
      Xr(0),
      Yr(0),
      Zr(0),
      parentID(-1),
      scaleX(1),
      scaleY(1),
      scaleZ(1),
      pivotX(0),
      pivotY(0),
      pivotZ(0),
      headingPitchBank(0),
      Red(0),
      Green(0),
      Blue(0),
      Alpha(0),
      surfaceCount(0),
      hidden(0),
      Surface(),
      fullBright(0),
      vertexColour(0),
      flatShaded(0),
      disableFog(0),
      backfaceCulling(0),
      alphaBlending(0),
      created(false) {}

void TEntityClass::CreateEntity() {
    ID = gNumEntities;
    hidden = switchOff;
    X = Y = Z = 0.0f;
    Xr = Yr = Zr = 0.0f;
    parentID = -1;
    scaleX = scaleY = scaleZ = 1.0f;
    pivotX = pivotY = pivotZ = 0.0f;
    headingPitchBank = switchOff;
    Red = Green = Blue = Alpha = 1.0f;
    fullBright = vertexColour = flatShaded = switchOff;
    disableFog = backfaceCulling = alphaBlending = switchOff;
    created = true;
    ++gNumEntities;
}

std::int32_t TEntityClass::CreateSurface() {
    // Make room first, so a failed allocation leaves the entity as it was.
    Surface.reserve(Surface.size() + 1);
    TSurfaceClass* surface = &TEntityRegistry.newSurface();
    surface->Id = surfaceCount;
    surface->vertexPoints = 0;
    surface->texturePoints = 0;
    surface->fxFullBright = surface->fxVertexColour = surface->fxFlatShaded = switchOff;
    surface->fxFogDisabled = surface->fxBackfaceDisabled = surface->fxAlphaBlending = switchOff;
    surface->fxOwnTexture = surface->fxOneColour = switchOff;
    Surface.push_back(surface);
    ++surfaceCount;
    return surface->Id;
}

void TEntityClass::PositionEntity(GLfloat x, GLfloat y, GLfloat z) {
    X = x;
    Y = y;
    Z = z;
    updateRegistry();
}

void TEntityClass::RotateEntity(GLfloat pitch, GLfloat yaw, GLfloat roll) {
    Xr = pitch;
    Yr = yaw;
    Zr = roll;
    headingPitchBank = switchOff;
    updateRegistry();
}

void TEntityClass::RotateEntityHPB(GLfloat heading, GLfloat pitch, GLfloat bank) {
    Yr = heading;
    Xr = pitch;
    Zr = bank;
    headingPitchBank = switchOn;
    updateRegistry();
}

void TEntityClass::ScaleEntity(GLfloat x, GLfloat y, GLfloat z) {
    scaleX = x;
    scaleY = y;
    scaleZ = z;
    updateRegistry();
}

void TEntityClass::EntityPivot(GLfloat x, GLfloat y, GLfloat z) {
    pivotX = x;
    pivotY = y;
    pivotZ = z;
    updateRegistry();
}

void TEntityClass::EntityParent(const TEntityClass* parent) {
    const bool root = parent == nullptr || !parent->created || parent->ID == ID;
    parentID = root ? -1 : parent->ID;
    updateRegistry();
}

bool TEntityClass::EntityWorldMatrix(GLfloat m[16]) const {
    // An object CreateEntity never ran on has no record, whatever its ID says.
    if (!created) {
        bm::entityWorldMatrix(-1, m);
        return false;
    }
    return bm::entityWorldMatrix(ID, m);
}

void TEntityClass::EntityTexture(TTextureClass texture, std::int32_t surfaceID,
                                 std::int32_t textureIndex) {
    if (surfaceID == -1) {
        name = texture;
        return;
    }
    // A surface this entity does not hold, or a slot outside 0 to 7, changes nothing.
    const bool knownSurface =
        surfaceID >= 0 && static_cast<std::size_t>(surfaceID) < Surface.size();
    if (knownSurface && textureIndex >= 0 && textureIndex < textureSlots)
        Surface[static_cast<std::size_t>(surfaceID)]->textureID[textureIndex] = texture;
}

void TEntityClass::EntityFX(std::int32_t fx) {
    // Largest effect first, each taken off the value once it is set.
    short* const switches[] = {&alphaBlending, &backfaceCulling, &disableFog,
                               &flatShaded,    &vertexColour,    &fullBright};
    std::int32_t value = 32;
    for (short* effect : switches) {
        *effect = switchOff;
        if (fx >= value) {
            *effect = switchOn;
            fx -= value;
        }
        value /= 2;
    }
}

void TEntityClass::updateRegistry() {
    // An object CreateEntity never ran on has no ID of its own: it must not replace entity 0.
    if (!created)
        return;
    TEntityRegistry.registerCopy(*this);
}

// The pools and the adopted surfaces release themselves.
TEntityRegistryClass::~TEntityRegistryClass() = default;

const TEntityClass* TEntityRegistryClass::find(std::int32_t id) const {
    const auto place = placeOfId.find(id);
    return place == placeOfId.end() ? nullptr : *place->second;
}

void TEntityRegistryClass::registerCopy(const TEntityClass& entity) {
    const auto place = placeOfId.find(entity.ID);
    if (place != placeOfId.end()) {
        TEntityClass& record = **place->second;
        // Growing the surface list is the one step that can fail: it comes before the record
        // moves or changes. Once the record is large enough, nothing is allocated.
        record.Surface.reserve(entity.Surface.size());
        // Splicing keeps the iterator valid; the copy reuses the record's storage.
        records.splice(records.end(), records, place->second);
        record = entity;
        return;
    }
    // Each step that can fail comes before the record is linked, so a failure links nothing.
    placeOfId.reserve(placeOfId.size() + 1);
    TEntityClass& record = recordPool.next();
    record = entity;
    records.push_back(&record);
    try {
        placeOfId.emplace(entity.ID, std::prev(records.end()));
    } catch (...) {
        records.pop_back();
        throw;
    }
}
