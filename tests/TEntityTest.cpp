// TEntityTest.cpp - entity operations and the registry's order, one-record and snapshot rules.
#include "TEntity.h"

#include "BrackmoorVariables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// The registry order of the given IDs, ignoring records other tests left behind.
std::vector<std::int32_t> registryOrder(const std::vector<std::int32_t>& ids) {
    std::vector<std::int32_t> order;
    for (const TEntityClass* record : TEntityRegistry) {
        for (std::int32_t id : ids) {
            if (record->ID == id)
                order.push_back(id);
        }
    }
    return order;
}

TEntityClass createdEntity() {
    TEntityClass e;
    e.CreateEntity();
    return e;
}

std::vector<short> effectSwitches(const TEntityClass& e) {
    return {e.fullBright, e.vertexColour,    e.flatShaded,
            e.disableFog, e.backfaceCulling, e.alphaBlending};
}
}  // namespace

TEST(TEntity, ConstructedEntityIsAllZero) {
    const TEntityClass e;
    EXPECT_EQ(e.ID, 0);
    EXPECT_EQ(e.name.Tname, 0u);
    EXPECT_EQ(e.name.TID, 0);
    const GLfloat fields[] = {e.X, e.Y, e.Z, e.Xr, e.Yr, e.Zr, e.Red, e.Green, e.Blue, e.Alpha};
    for (GLfloat f : fields)
        EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(e.surfaceCount, 0);
    EXPECT_EQ(e.hidden, 0);
    EXPECT_TRUE(e.Surface.empty());
    EXPECT_EQ(effectSwitches(e), std::vector<short>(6, 0));
    EXPECT_FALSE(e.created);
}

// IDs come from the counter; defaults are set but texture and surfaces are kept.
TEST(TEntity, CreateEntityTakesNextIdAndDefaults) {
    gNumEntities = 0;
    const std::size_t records = TEntityRegistry.size();
    TEntityClass a, b;
    a.CreateEntity();
    b.CreateEntity();
    EXPECT_EQ(a.ID, 0);
    EXPECT_EQ(b.ID, 1);
    EXPECT_EQ(gNumEntities, 2);

    a.X = 5;
    a.Yr = 7;
    a.Red = 0.5f;
    a.name.Tname = 9;
    a.CreateSurface();
    a.EntityFX(63);
    a.CreateEntity();
    EXPECT_EQ(a.ID, 2);
    EXPECT_EQ(a.hidden, -1);
    EXPECT_EQ(a.X, 0.0f);
    EXPECT_EQ(a.Yr, 0.0f);
    EXPECT_EQ(a.Red, 1.0f);
    EXPECT_EQ(a.Alpha, 1.0f);
    EXPECT_EQ(effectSwitches(a), std::vector<short>(6, -1));
    EXPECT_EQ(a.name.Tname, 9u);
    EXPECT_EQ(a.surfaceCount, 1);
    EXPECT_EQ(TEntityRegistry.size(), records);
}

TEST(TEntity, CreateSurfaceNumbersAndDefaults) {
    TEntityClass e = createdEntity();
    EXPECT_EQ(e.CreateSurface(), 0);
    EXPECT_EQ(e.CreateSurface(), 1);
    ASSERT_EQ(e.surfaceCount, 2);
    ASSERT_EQ(e.Surface.size(), 2u);
    const TSurfaceClass& s = *e.Surface[1];
    EXPECT_EQ(s.Id, 1);
    EXPECT_EQ(s.vertexPoints, 0);
    EXPECT_EQ(s.texturePoints, 0);
    EXPECT_EQ(s.ShineValue, 0.0f);
    EXPECT_EQ(s.textureID[7].Tname, 0u);
    const short fx[] = {s.fxFullBright,       s.fxVertexColour,  s.fxFlatShaded, s.fxFogDisabled,
                        s.fxBackfaceDisabled, s.fxAlphaBlending, s.fxOwnTexture};
    for (short f : fx)
        EXPECT_EQ(f, -1);
    EXPECT_TRUE(s.verts.empty() && s.tverts.empty() && s.vertexColours.empty());
    EXPECT_TRUE(s.normals.empty() && s.triangleIndex.empty());
}

// Switch order: fullBright, vertexColour, flatShaded, disableFog, backfaceCulling, alphaBlending.
TEST(TEntity, EntityFXDecomposesLargestFirst) {
    struct Case {
        std::int32_t fx;
        std::vector<short> switches;
    };
    const Case cases[] = {
        {0, {-1, -1, -1, -1, -1, -1}},  {1, {1, -1, -1, -1, -1, -1}}, {16, {-1, -1, -1, -1, 1, -1}},
        {48, {-1, -1, -1, -1, 1, 1}},   {21, {1, -1, 1, -1, 1, -1}},  {42, {-1, 1, -1, 1, -1, 1}},
        {63, {1, 1, 1, 1, 1, 1}},       {64, {1, 1, 1, 1, 1, 1}},     {1000, {1, 1, 1, 1, 1, 1}},
        {-1, {-1, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        TEntityClass e = createdEntity();
        e.EntityFX(c.fx);
        EXPECT_EQ(effectSwitches(e), c.switches) << "fx = " << c.fx;
    }
}

TEST(TEntity, EntityFXReplacesEarlierEffects) {
    TEntityClass e = createdEntity();
    e.EntityFX(32);
    e.EntityFX(16);
    EXPECT_EQ(e.alphaBlending, -1);
    EXPECT_EQ(e.backfaceCulling, 1);
}

// Surface -1 is the entity's own texture; a slot is set only on a surface the entity holds.
TEST(TEntity, EntityTextureTargets) {
    struct Case {
        std::int32_t surface, slot;
        bool own;
        int changedSlot;  // -1: none
    };
    const Case cases[] = {{-1, 9, true, -1},  {-1, 0, true, -1}, {0, 3, false, 3},
                          {0, 7, false, 7},   {0, 8, false, -1}, {0, -1, false, -1},
                          {-2, 0, false, -1}, {1, 0, false, -1}};
    TTextureClass texture{};
    texture.Tname = 42;
    texture.TID = 7;
    for (const Case& c : cases) {
        TEntityClass e = createdEntity();
        e.CreateSurface();
        e.EntityTexture(texture, c.surface, c.slot);
        EXPECT_EQ(e.name.Tname, c.own ? 42u : 0u) << c.surface << ", " << c.slot;
        EXPECT_EQ(e.name.TID, c.own ? 7 : 0);
        for (int slot = 0; slot < 8; ++slot)
            EXPECT_EQ(e.Surface[0]->textureID[slot].Tname, slot == c.changedSlot ? 42u : 0u)
                << c.surface << ", " << c.slot << " slot " << slot;
    }
}

TEST(TEntity, PositionAndRotateAreAbsoluteAndRegister) {
    TEntityClass e = createdEntity();
    e.PositionEntity(1, 2, 3);
    e.PositionEntity(4, 5, 6);
    e.RotateEntity(10, 20, 30);
    e.RotateEntity(-1, -2, -3);
    const TEntityClass* record = TEntityRegistry.find(e.ID);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ((std::vector<GLfloat>{record->X, record->Y, record->Z}),
              (std::vector<GLfloat>{4, 5, 6}));
    EXPECT_EQ((std::vector<GLfloat>{record->Xr, record->Yr, record->Zr}),
              (std::vector<GLfloat>{-1, -2, -3}));
}

TEST(TEntityRegistry, OneRecordPerIdMovedToTheBack) {
    TEntityClass a = createdEntity(), b = createdEntity(), c = createdEntity();
    a.updateRegistry();
    a.updateRegistry();
    EXPECT_EQ(registryOrder({a.ID}), std::vector<std::int32_t>{a.ID});
    EXPECT_EQ(TEntityRegistry.find(a.ID), *std::prev(TEntityRegistry.end()));

    b.updateRegistry();
    c.updateRegistry();
    a.updateRegistry();
    EXPECT_EQ(registryOrder({a.ID, b.ID, c.ID}), (std::vector<std::int32_t>{b.ID, c.ID, a.ID}));
    c.RotateEntity(0, 1, 0);
    b.PositionEntity(0, 0, -1);
    EXPECT_EQ(registryOrder({a.ID, b.ID, c.ID}), (std::vector<std::int32_t>{a.ID, c.ID, b.ID}));
}

// The record keeps the entity's fields as of its registration; surfaces are shared.
TEST(TEntityRegistry, RecordIsASnapshotSharingSurfaces) {
    TEntityClass e = createdEntity();
    e.CreateSurface();
    e.updateRegistry();
    const TEntityClass* record = TEntityRegistry.find(e.ID);
    ASSERT_NE(record, nullptr);

    e.X = 3;
    e.hidden = 0;
    e.name.Tname = 5;
    e.EntityFX(16);
    e.CreateSurface();
    e.Surface[0]->AddVertex(1, 2, 3, 0, 0, 50);
    EXPECT_EQ(record->X, 0.0f);
    EXPECT_EQ(record->hidden, -1);
    EXPECT_EQ(record->name.Tname, 0u);
    EXPECT_EQ(record->backfaceCulling, -1);
    EXPECT_EQ(record->surfaceCount, 1);
    ASSERT_EQ(record->Surface.size(), 1u);
    EXPECT_EQ(record->Surface[0], e.Surface[0]);
    EXPECT_EQ(record->Surface[0]->vertexPoints, 1);
    EXPECT_NE(record->Surface.data(), e.Surface.data());

    e.updateRegistry();
    EXPECT_EQ(TEntityRegistry.find(e.ID), record);
    EXPECT_EQ(record->X, 3.0f);
    EXPECT_EQ(record->hidden, 0);
    EXPECT_EQ(record->name.Tname, 5u);
    EXPECT_EQ(record->backfaceCulling, 1);
    EXPECT_EQ(record->surfaceCount, 2);
    EXPECT_EQ(record->Surface, e.Surface);
}

// Re-registering writes into the same record and the same pointer array.
TEST(TEntityRegistry, ReRegistrationReusesStorage) {
    TEntityClass e = createdEntity();
    e.CreateSurface();
    e.CreateSurface();
    e.updateRegistry();
    const std::size_t before = TEntityRegistry.size();
    const TEntityClass* record = TEntityRegistry.find(e.ID);
    TSurfaceClass* const* pointers = record->Surface.data();
    for (int i = 0; i < 10; ++i)
        e.RotateEntity(static_cast<GLfloat>(i), 0, 0);
    EXPECT_EQ(TEntityRegistry.size(), before);
    EXPECT_EQ(TEntityRegistry.find(e.ID), record);
    EXPECT_EQ(record->Surface.data(), pointers);
    EXPECT_EQ(record->Xr, 9.0f);
}

// An object CreateEntity never ran on has ID 0 but must not take over entity 0's record.
TEST(TEntityRegistry, NeverCreatedEntityRegistersNothing) {
    gNumEntities = 0;
    TEntityClass real;
    real.CreateQuad();
    ASSERT_EQ(real.ID, 0);
    const std::size_t before = TEntityRegistry.size();

    TEntityClass stray;
    stray.PositionEntity(0, 0, -6);
    stray.RotateEntity(1, 2, 3);
    stray.updateRegistry();
    EXPECT_EQ(TEntityRegistry.size(), before);
    const TEntityClass* record = TEntityRegistry.find(0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->hidden, -1);
    EXPECT_EQ(record->surfaceCount, 1);
}

TEST(TEntityRegistry, FindUnknownIdIsNull) {
    EXPECT_EQ(TEntityRegistry.find(-12345), nullptr);
}
