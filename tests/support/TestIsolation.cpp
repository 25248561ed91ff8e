// TestIsolation.cpp - the snapshot each test starts from, put back as it ends.
#include "support/TestIsolation.h"

#include "BrackmoorEngine.h"
#include "BrackmoorFPS.h"
#include "BrackmoorFileSystem.h"
#include "BrackmoorVariables.h"
#include "TCamera.h"
#include "TEntity.h"
#include "TRegistry.h"
#include "TSprite.h"

#include <GL/glx.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace bm::test {

namespace {

struct Globals {
    std::string windowTitle = BrackmoorWindowTitle;
    std::array<GLfloat, 4> colour{GLRed, GLGreen, GLBlue, GLAlpha};
    std::int32_t width = BrackmoorWidth, height = BrackmoorHeight, depth = BrackmoorDepth;
    short backfaceCulling = BrackmoorBackfaceCulling;
    std::array<GLfloat, 4> specular{specularity[0], specularity[1], specularity[2], specularity[3]};
    std::int32_t entities = gNumEntities, textures = gNumTextures, sprites = gNumSprites;
    std::int32_t cameras = cameraCount;
    GLfloat spriteAngle = imageDrawAngle;
    std::int32_t emptyFileSize = minimumFileSize;
    endunionType hostOrder = endunion;
    BrackmoorFPSClass fps = BrackmoorFPS;
    BrackmoorClass engine = Brackmoor;
    bool lineFileOpen = inFile.is_open();

    void putBack() const {
        BrackmoorWindowTitle = windowTitle;
        GLRed = colour[0];
        GLGreen = colour[1];
        GLBlue = colour[2];
        GLAlpha = colour[3];
        BrackmoorWidth = width;
        BrackmoorHeight = height;
        BrackmoorDepth = depth;
        BrackmoorBackfaceCulling = backfaceCulling;
        std::copy(specular.begin(), specular.end(), specularity);
        gNumEntities = entities;
        gNumTextures = textures;
        gNumSprites = sprites;
        cameraCount = cameras;
        imageDrawAngle = spriteAngle;
        minimumFileSize = emptyFileSize;
        endunion = hostOrder;
        BrackmoorFPS = fps;
        Brackmoor = engine;
        if (!lineFileOpen && inFile.is_open())
            inFile.close();
    }
};

// The records in drawing order, each with a copy of what it held.
struct EntityRecords {
    std::vector<std::pair<TEntityClass*, TEntityClass>> records;

    EntityRecords() {
        for (TEntityClass* record : TEntityRegistry)
            records.emplace_back(record, *record);
    }

    // The registry cannot drop a record, so the ones a test added are hidden; registering the
    // copies again, in their order, puts the others back as they were and last, in that order.
    void putBack() const {
        for (TEntityClass* record : TEntityRegistry)
            if (std::none_of(records.begin(), records.end(),
                             [record](const auto& kept) { return kept.first == record; }))
                record->hidden = 0;
        for (const auto& kept : records)
            TEntityRegistry.registerCopy(kept.second);
    }
};

bool contextCurrent() {
    return OpenGLWindow != 0 && glXGetCurrentContext() != nullptr;
}

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

struct MatrixStack {
    GLenum mode, matrix, depth;  // the mode and the two queries that read its top and depth
};
constexpr MatrixStack matrixStacks[] = {
    {GL_MODELVIEW, GL_MODELVIEW_MATRIX, GL_MODELVIEW_STACK_DEPTH},
    {GL_PROJECTION, GL_PROJECTION_MATRIX, GL_PROJECTION_STACK_DEPTH},
    {GL_TEXTURE, GL_TEXTURE_MATRIX, GL_TEXTURE_STACK_DEPTH},
};

// Attributes are pushed, one level below what the test may push itself; the matrices are read,
// since a test may fill a matrix stack to its limit.
struct GlState {
    bool taken = false;
    GLint attribDepth = 0, clientAttribDepth = 0;  // with this snapshot's own level pushed
    GLint matrixMode = GL_MODELVIEW;
    std::array<std::array<GLfloat, 16>, 3> matrices{};
    std::array<GLint, 3> matrixDepths{};

    void take() {
        taken = contextCurrent();
        if (!taken)
            return;
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
        attribDepth = integer(GL_ATTRIB_STACK_DEPTH);
        clientAttribDepth = integer(GL_CLIENT_ATTRIB_STACK_DEPTH);
        matrixMode = integer(GL_MATRIX_MODE);
        for (std::size_t i = 0; i < 3; ++i) {
            glGetFloatv(matrixStacks[i].matrix, matrices[i].data());
            matrixDepths[i] = integer(matrixStacks[i].depth);
        }
    }

    void putBack(const std::string& test) const {
        if (!taken || !contextCurrent())
            return;
        while (glGetError() != GL_NO_ERROR) {
        }
        if (integer(GL_ATTRIB_STACK_DEPTH) < attribDepth ||
            integer(GL_CLIENT_ATTRIB_STACK_DEPTH) < clientAttribDepth)
            std::cerr << test << ": popped GL attributes it had not pushed\n";
        for (GLint d = integer(GL_ATTRIB_STACK_DEPTH); d >= attribDepth && d > 0; --d)
            glPopAttrib();
        for (GLint d = integer(GL_CLIENT_ATTRIB_STACK_DEPTH); d >= clientAttribDepth && d > 0; --d)
            glPopClientAttrib();
        for (std::size_t i = 0; i < 3; ++i) {
            glMatrixMode(matrixStacks[i].mode);
            for (GLint d = integer(matrixStacks[i].depth); d > matrixDepths[i]; --d)
                glPopMatrix();
            glLoadMatrixf(matrices[i].data());
        }
        glMatrixMode(static_cast<GLenum>(matrixMode));
        while (glGetError() != GL_NO_ERROR) {
        }
    }
};

struct Snapshot {
    Globals globals;
    std::vector<GLuint> textureNames = TTextureRegistry.Texture;
    EntityRecords records;
    GlState gl;
};

// One test runs at a time; the snapshot lives from its start to its end.
std::vector<Snapshot> snapshots;

// Names the test registered go as shut-down would take them, while their context is current.
void putBackTextures(const std::vector<GLuint>& kept) {
    std::vector<GLuint>& names = TTextureRegistry.Texture;
    if (contextCurrent())
        for (GLuint name : names)
            if (name != 0 && std::find(kept.begin(), kept.end(), name) == kept.end())
                glDeleteTextures(1, &name);
    names = kept;
}

}  // namespace

void EngineStateGuard::OnTestStart(const testing::TestInfo&) {
    snapshots.emplace_back();
    snapshots.back().gl.take();
}

void EngineStateGuard::OnTestEnd(const testing::TestInfo& test) {
    if (snapshots.empty())
        return;
    const Snapshot& kept = snapshots.back();
    putBackTextures(kept.textureNames);
    kept.records.putBack();
    kept.globals.putBack();
    kept.gl.putBack(std::string(test.test_suite_name()) + "." + test.name());
    snapshots.pop_back();
}

}  // namespace bm::test
