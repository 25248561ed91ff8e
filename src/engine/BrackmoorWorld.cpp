// BrackmoorWorld.cpp - the world renderer: every visible registry record, one draw per surface.
#include "BrackmoorEngine.h"
#include "BrackmoorTransform.h"
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

// One past the highest vertex the first count indices name; 0 when count is 0.
std::size_t verticesNamed(const TSurfaceClass& s, std::size_t count) {
    if (count == 0)
        return 0;
    const auto first = s.triangleIndex.begin();
    return std::size_t{*std::max_element(first, first + static_cast<std::ptrdiff_t>(count))} + 1;
}

// What one surface's draw reads.
struct SurfaceExtent {
    GLsizei indices;  // none when the surface is not drawn
    bool hasNormals;  // a normal for every vertex drawn
};

// Indices to draw: vertexPoints, but never more than the surface stores, and none at all when
// an index names a vertex whose position, colour or texture coordinates are missing. Normals
// count only when every vertex drawn has one. A surface of one colour needs it once.
SurfaceExtent surfaceExtent(const TSurfaceClass& s) {
    const std::size_t stored =
        std::min<std::size_t>(s.triangleIndex.size(),
                              static_cast<std::size_t>(std::max<std::int32_t>(s.vertexPoints, 0)));
    const std::size_t named = verticesNamed(s, stored);
    const std::size_t vertices =
        s.fxOneColour == switchOn
            ? (s.vertexColours.size() >= 4 && s.tverts.size() >= 2 ? s.verts.size() / 3 : 0)
            : std::min({s.verts.size() / 3, s.vertexColours.size() / 4, s.tverts.size() / 2});
    if (named == 0 || named > vertices)
        return {0, false};
    return {static_cast<GLsizei>(stored), s.normals.size() / 3 >= named};
}

// The texture state surfaces with their own texture change, known once GL has been asked.
struct TextureState {
    bool known = false;
    GLuint bound = 0;           // bound now
    bool enabled = false;       // GL_TEXTURE_2D now
    GLuint plainBinding = 0;    // what drawing without own textures would have bound by now
    bool plainEnabled = false;  // GL_TEXTURE_2D before updateWorld
};

// One updateWorld call: the engine's lights, what is known of GL's texture state, the view.
struct FrameState {
    const TLight& lights;
    std::size_t drawnLights;  // lights GL is given: 0 while none is on
    TextureState texture;
    const GLfloat* view;  // the camera's world-to-eye matrix; null keeps everything in eye space
};

// The model-view everything is placed after: the camera's view, or the eye itself.
void loadView(const GLfloat* view) {
    if (view != nullptr)
        glLoadMatrixf(view);
    else
        glLoadIdentity();
}

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

// The surface's own texture, or texturing off to show its vertex colours. Its entity's texture
// is still the one later plain surfaces fall back to.
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

// Lighting, colour material, the lights' switches and the normal array, for one surface.
void beginLitSurface(const FrameState& frame) {
    glPushAttrib(GL_LIGHTING_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_NORMAL_ARRAY);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    for (std::size_t n = 0; n < frame.drawnLights; ++n) {
        const GLenum light = GL_LIGHT0 + static_cast<GLenum>(n);
        if (frame.lights.lightOn(n))
            glEnable(light);
        else
            glDisable(light);
    }
    glEnable(GL_LIGHTING);
}

void endLitSurface() {
    glPopClientAttrib();
    glPopAttrib();
}

void drawSurface(FrameState& frame, const TEntityClass& e, const TSurfaceClass& s) {
    const SurfaceExtent extent = surfaceExtent(s);
    // A vertex-colour surface shows its colours unlit, and so does a full-bright one, whose
    // colours are what it shows whatever the lights.
    const bool lit = frame.drawnLights > 0 && extent.hasNormals && s.fxVertexColour != switchOn &&
                     s.fxFullBright != switchOn;
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
    if (lit)
        beginLitSurface(frame);
    const bool oneColour = s.fxOneColour == switchOn && extent.indices > 0;
    if (oneColour) {
        // GL's current colour and texture coordinates stand for the arrays.
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glColor4fv(s.vertexColours.data());
        glTexCoord2fv(s.tverts.data());
    } else {
        glColorPointer(4, GL_FLOAT, 0, firstElement(s.vertexColours));
    }
    glNormalPointer(GL_FLOAT, 0, firstElement(s.normals));
    if (!oneColour)
        glTexCoordPointer(2, GL_FLOAT, 0, firstElement(s.tverts));
    glVertexPointer(3, GL_FLOAT, 0, firstElement(s.verts));
    glDrawElements(GL_TRIANGLES, extent.indices, GL_UNSIGNED_BYTE, firstElement(s.triangleIndex));
    if (oneColour) {
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (lit)
        endLitSurface();
    if (s.fxVertexColour == switchOn)
        glEnable(GL_LIGHTING);
}

void drawEntity(FrameState& frame, const TEntityClass& e) {
    glPushMatrix();
    if (e.backfaceCulling == switchOn)
        glDisable(GL_CULL_FACE);
    else
        glEnable(GL_CULL_FACE);
    const bool normalising = bm::placeEntity(e, frame.view);
    const std::size_t surfaces = std::min<std::size_t>(
        e.Surface.size(), static_cast<std::size_t>(std::max<std::int32_t>(e.surfaceCount, 0)));
    for (std::size_t i = 0; i < surfaces; ++i) {
        if (e.Surface[i] != nullptr)
            drawSurface(frame, e, *e.Surface[i]);
    }
    if (normalising)
        glDisable(GL_NORMALIZE);
    glPopMatrix();
}

void setUpLight(GLenum light, const TLightSetup& setup) {
    glLightfv(light, GL_POSITION, setup.position);
    glLightfv(light, GL_SPOT_DIRECTION, setup.direction);
    glLightf(light, GL_SPOT_CUTOFF, setup.cutoff);
    glLightf(light, GL_CONSTANT_ATTENUATION, setup.attenuation[0]);
    glLightf(light, GL_LINEAR_ATTENUATION, setup.attenuation[1]);
    glLightf(light, GL_QUADRATIC_ATTENUATION, setup.attenuation[2]);
    glLightfv(light, GL_DIFFUSE, setup.colour);
    glLightfv(light, GL_SPECULAR, setup.colour);
    glLightfv(light, GL_AMBIENT, setup.ambient);
}

// Gives GL every light that is on, in eye space or through the view; returns how many lights GL
// can take of ours.
std::size_t setUpLights(const TLight& lights, const GLfloat* view) {
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    const std::size_t drawn =
        std::min(lights.lightCount(), static_cast<std::size_t>(std::max(maxLights, 0)));
    glPushMatrix();
    // Light positions and directions are taken through the model-view matrix: the identity keeps
    // them in eye space, the view places them in the world, as entity positions are.
    loadView(view);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, lights.global_ambient);
    for (std::size_t n = 0; n < drawn; ++n) {
        if (lights.lightOn(n))
            setUpLight(GL_LIGHT0 + static_cast<GLenum>(n), lights.lightSetup(n));
    }
    glPopMatrix();
    return drawn;
}
}  // namespace

bool bm::placeEntity(const TEntityClass& e, const GLfloat* view) {
    // Relative to the eye or the camera's view, whatever is on the stack.
    loadView(view);
    if (!bm::placedByMatrix(e)) {
        glTranslatef(e.X, e.Y, e.Z);
        glRotatef(e.Xr, 1.0f, 0.0f, 0.0f);
        glRotatef(e.Yr, 0.0f, 1.0f, 0.0f);
        glRotatef(e.Zr, 0.0f, 0.0f, 1.0f);
        return false;
    }
    GLfloat world[16];
    bm::recordWorldMatrix(TEntityRegistry, e, world);
    glMultMatrixf(world);
    // Scaled normals would light it too brightly or too dimly: GL makes them unit length again.
    if (!bm::scalesNormals(world) || glIsEnabled(GL_NORMALIZE) == GL_TRUE)
        return false;
    glEnable(GL_NORMALIZE);
    return true;
}

void BrackmoorClass::updateWorld() {
    glMatrixMode(GL_MODELVIEW);
    GLfloat view[16];
    const bool viewed = firstCamera.worldView == switchOn;
    if (viewed)
        firstCamera.ViewMatrix(view);
    const GLfloat* const placedAfter = viewed ? view : nullptr;
    FrameState frame{*this, anyLightOn() ? setUpLights(*this, placedAfter) : 0, {}, placedAfter};
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
