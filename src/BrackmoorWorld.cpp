// BrackmoorWorld.cpp - the world renderer: every visible registry record, one draw per surface.
#include "BrackmoorEngine.h"
#include "BrackmoorVariables.h"
#include "TEntity.h"

#include <algorithm>
#include <cstddef>

namespace {
constexpr short switchOn = 1;
constexpr short switchOff = -1;

// GL is handed the first element in place, or null for an empty array.
template <typename T>
const T* firstElement(const std::vector<T>& array) {
    return array.empty() ? nullptr : array.data();
}

// Indices to draw: vertexPoints, but never more than the surface stores, and none at all when
// an index names a vertex whose position, colour or texture coordinates are missing.
GLsizei drawableIndexCount(const TSurfaceClass& s) {
    const std::size_t stored =
        std::min<std::size_t>(s.triangleIndex.size(),
                              static_cast<std::size_t>(std::max<std::int32_t>(s.vertexPoints, 0)));
    if (stored == 0)
        return 0;
    const std::size_t vertices =
        std::min({s.verts.size() / 3, s.vertexColours.size() / 4, s.tverts.size() / 2});
    const auto first = s.triangleIndex.begin();
    const unsigned char highest =
        *std::max_element(first, first + static_cast<std::ptrdiff_t>(stored));
    return highest < vertices ? static_cast<GLsizei>(stored) : 0;
}

void drawSurface(const TEntityClass& e, const TSurfaceClass& s) {
    if (s.fxVertexColour == switchOn)
        glDisable(GL_LIGHTING);
    glColor4f(e.Red, e.Green, e.Blue, e.Alpha);
    specularity[0] = specularity[1] = specularity[2] = s.ShineValue;
    specularity[3] = 1.0f;
    glMaterialfv(GL_FRONT, GL_SPECULAR, specularity);
    // Without a texture of its own the entity shows the one bound last.
    if (e.name.Tname != 0)
        glBindTexture(GL_TEXTURE_2D, e.name.Tname);
    glColorPointer(4, GL_FLOAT, 0, firstElement(s.vertexColours));
    glNormalPointer(GL_FLOAT, 0, firstElement(s.normals));
    glTexCoordPointer(2, GL_FLOAT, 0, firstElement(s.tverts));
    glVertexPointer(3, GL_FLOAT, 0, firstElement(s.verts));
    glDrawElements(GL_TRIANGLES, drawableIndexCount(s), GL_UNSIGNED_BYTE,
                   firstElement(s.triangleIndex));
    if (s.fxVertexColour == switchOn)
        glEnable(GL_LIGHTING);
}

void drawEntity(const TEntityClass& e) {
    glPushMatrix();
    if (e.backfaceCulling == switchOn)
        glDisable(GL_CULL_FACE);
    else
        glEnable(GL_CULL_FACE);
    // Entities are placed relative to the eye, whatever is on the stack.
    glLoadIdentity();
    glTranslatef(e.X, e.Y, e.Z);
    glRotatef(e.Xr, 1.0f, 0.0f, 0.0f);
    glRotatef(e.Yr, 0.0f, 1.0f, 0.0f);
    glRotatef(e.Zr, 0.0f, 0.0f, 1.0f);
    const std::size_t surfaces = std::min<std::size_t>(
        e.Surface.size(), static_cast<std::size_t>(std::max<std::int32_t>(e.surfaceCount, 0)));
    for (std::size_t i = 0; i < surfaces; ++i) {
        if (e.Surface[i] != nullptr)
            drawSurface(e, *e.Surface[i]);
    }
    glPopMatrix();
}
}  // namespace

void BrackmoorClass::updateWorld() {
    glMatrixMode(GL_MODELVIEW);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const TEntityClass* e : TEntityRegistry) {
        if (e->hidden == switchOff)
            drawEntity(*e);
    }
    if (BrackmoorBackfaceCulling == switchOff)
        glEnable(GL_CULL_FACE);
    else
        glDisable(GL_CULL_FACE);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}
