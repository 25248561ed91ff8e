// WorldBench.cpp - updateWorld over 1,000 cubes against a hand-written loop of the same GL calls.
#include "Brackmoor.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {
constexpr int cubeCount = 1000;
std::vector<TEntityClass> cubes;
double engineToHandRatio = 0;

// Cubes behind the eye: every vertex is transformed and clipped, almost nothing is filled.
void buildScene() {
    BrackmoorWidth = 320;
    BrackmoorHeight = 240;
    static char name[] = "world_bench";
    static char* argv[] = {name, nullptr};
    InitGL(1, argv);
    glViewport(0, 0, BrackmoorWidth, BrackmoorHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1, 0.1, -0.075, 0.075, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    cubes.resize(cubeCount);
    for (int i = 0; i < cubeCount; ++i) {
        TEntityClass& cube = cubes[static_cast<std::size_t>(i)];
        cube.CreateCube();
        cube.PositionEntity(static_cast<GLfloat>(i % 10 - 5), static_cast<GLfloat>(i / 10 % 10 - 5),
                            5.0f + static_cast<GLfloat>(i / 100));
        cube.RotateEntity(static_cast<GLfloat>(i), static_cast<GLfloat>(2 * i), 0);
    }
}

// The renderer's calls, written out for the registry the engine draws.
void handWrittenWorld() {
    glMatrixMode(GL_MODELVIEW);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const TEntityClass* e : TEntityRegistry) {
        if (e->hidden != -1)
            continue;
        glPushMatrix();
        if (e->backfaceCulling == 1)
            glDisable(GL_CULL_FACE);
        else
            glEnable(GL_CULL_FACE);
        glLoadIdentity();
        glTranslatef(e->X, e->Y, e->Z);
        glRotatef(e->Xr, 1, 0, 0);
        glRotatef(e->Yr, 0, 1, 0);
        glRotatef(e->Zr, 0, 0, 1);
        for (const TSurfaceClass* s : e->Surface) {
            glColor4f(e->Red, e->Green, e->Blue, e->Alpha);
            specularity[0] = specularity[1] = specularity[2] = s->ShineValue;
            specularity[3] = 1.0f;
            glMaterialfv(GL_FRONT, GL_SPECULAR, specularity);
            if (e->name.Tname != 0)
                glBindTexture(GL_TEXTURE_2D, e->name.Tname);
            glColorPointer(4, GL_FLOAT, 0, s->vertexColours.data());
            glNormalPointer(GL_FLOAT, 0, s->normals.data());
            glTexCoordPointer(2, GL_FLOAT, 0, s->tverts.data());
            glVertexPointer(3, GL_FLOAT, 0, s->verts.data());
            glDrawElements(GL_TRIANGLES, s->vertexPoints, GL_UNSIGNED_BYTE,
                           s->triangleIndex.data());
        }
        glPopMatrix();
    }
    glEnable(GL_CULL_FACE);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

void engineWorld() {
    Brackmoor.updateWorld();
}

// One frame as the frame function has it, finished so GL has done all its work.
void frame(void (*draw)()) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    draw();
    glFinish();
}

void BM_Frame(benchmark::State& state, void (*draw)()) {
    for (auto _ : state)
        state.SetIterationTime(bm::bench::secondsOf([draw] { frame(draw); }));
    state.SetItemsProcessed(state.iterations() * cubeCount);
}
BENCHMARK_CAPTURE(BM_Frame, updateWorld, engineWorld)->UseManualTime();
BENCHMARK_CAPTURE(BM_Frame, handWrittenLoop, handWrittenWorld)->UseManualTime();

// The two alternate frame by frame, so load on the machine falls on both alike.
void BM_EngineOverHandLoop(benchmark::State& state) {
    const auto medians = bm::bench::alternate(
        state, [] { frame(engineWorld); }, [] { frame(handWrittenWorld); });
    engineToHandRatio = bm::bench::ratioCounters(state, medians, "engine_us", "hand_us", 1e6);
}
BENCHMARK(BM_EngineOverHandLoop)->MinTime(3.0);
}  // namespace

int main(int argc, char** argv) {
    if (!bm::bench::runInOrder(argc, argv, buildScene))
        return 1;
    if (engineToHandRatio > 0)
        std::printf(
            "updateWorld vs hand-written loop, %d cubes, median frame: %.3fx "
            "(target within 1.10x): %s\n",
            cubeCount, engineToHandRatio, bm::bench::verdict(engineToHandRatio <= 1.10));
    return 0;
}
