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

// The texture state surfaces with their own texture change, known once GL has been asked.
struct TextureState {
    bool known = false;
    GLuint bound = 0;           // bound now
    bool enabled = false;       // GL_TEXTURE_2D now
    GLuint plainBinding = 0;    // what drawing without own textures would have bound by now
    bool plainEnabled = false;  // GL_TEXTURE_2D before updateWorld
};

// One updateWorld call: what is known of GL's texture state.
struct FrameState {
    TextureState texture;
};

void enableTexturing(TextureState& t, bool on) {
    if (t.enabled == on)
        return;
    if (on)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    t.enabled = on;
}

void bindTexture(TextureState& t, GLuint name) {
    if (t.bound == name)
        return;
    glBindTexture(GL_TEXTURE_2D, name);
    t.bound = name;
}

// The application's binding and texturing, read when a surface first needs them.
void learnTextureState(TextureState& t) {
    if (t.known)
        return;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    t.bound = t.plainBinding = static_cast<GLuint>(bound);
    t.enabled = t.plainEnabled = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    t.known = true;
}

void applyOwnTexture(TextureState& t, const TEntityClass& e, const TSurfaceClass& s) {
    learnTextureState(t);
    if (e.name.Tname != 0)
        t.plainBinding = e.name.Tname;
    const GLuint own = s.textureID[0].Tname;
    enableTexturing(t, own != 0);
    if (own != 0)
        bindTexture(t, own);
}

// Without a texture of its own the entity shows the one bound last, as if no surface before
// it had used its own.
void applyEntityTexture(TextureState& t, const TEntityClass& e) {
    if (t.known) {
        enableTexturing(t, t.plainEnabled);
        if (e.name.Tname == 0)
            bindTexture(t, t.plainBinding);
    }
    if (e.name.Tname == 0)
        return;
    glBindTexture(GL_TEXTURE_2D, e.name.Tname);
    t.bound = t.plainBinding = e.name.Tname;
}

void restoreTextureState(TextureState& t) {
    if (!t.known)
        return;
    enableTexturing(t, t.plainEnabled);
    bindTexture(t, t.plainBinding);
}

void drawSurface(FrameState& frame, const TEntityClass& e, const TSurfaceClass& s) {
    if (s.fxVertexColour == switchOn)
        glDisable(GL_LIGHTING);
    glColor4f(e.Red, e.Green, e.Blue, e.Alpha);
    specularity[0] = specularity[1] = specularity[2] = s.ShineValue;
    specularity[3] = 1.0f;
    glMaterialfv(GL_FRONT, GL_SPECULAR, specularity);
    if (s.fxOwnTexture == switchOn)
        applyOwnTexture(frame.texture, e, s);
    else
        applyEntityTexture(frame.texture, e);
    glColorPointer(4, GL_FLOAT, 0, firstElement(s.vertexColours));
    glNormalPointer(GL_FLOAT, 0, firstElement(s.normals));
    glTexCoordPointer(2, GL_FLOAT, 0, firstElement(s.tverts));
    glVertexPointer(3, GL_FLOAT, 0, firstElement(s.verts));
    glDrawElements(GL_TRIANGLES, drawableIndexCount(s), GL_UNSIGNED_BYTE,
                   firstElement(s.triangleIndex));
    if (s.fxVertexColour == switchOn)
        glEnable(GL_LIGHTING);
}

void drawEntity(FrameState& frame, const TEntityClass& e) {
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
            drawSurface(frame, e, *e.Surface[i]);
    }
    glPopMatrix();
}
}  // namespace

void BrackmoorClass::updateWorld() {
    glMatrixMode(GL_MODELVIEW);
    FrameState frame{};
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const TEntityClass* e : TEntityRegistry) {
        if (e->hidden == switchOff)
            drawEntity(frame, *e);
    }
    restoreTextureState(frame.texture);
    if (BrackmoorBackfaceCulling == switchOff)
        glEnable(GL_CULL_FACE);
    else
        glDisable(GL_CULL_FACE);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}
