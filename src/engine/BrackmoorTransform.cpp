// BrackmoorTransform.cpp - entity matrices, built in double and handed out as GLfloat.
#include "BrackmoorTransform.h"

#include "TEntity.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {
constexpr short switchOn = 1;
constexpr double radiansPerDegree = 3.14159265358979323846 / 180.0;
// Squared lengths and products of axes closer than this to 1 and 0 count as unchanged.
constexpr double unchangedLength = 1e-5;
// Axes shorter than this have no direction left.
constexpr double flattened = 1e-12;

// Column-major like the public matrices.
struct Matrix {
    double m[16];
};

Matrix identity() {
    Matrix r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
    return r;
}

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            r.m[column * 4 + row] = sum;
        }
    }
    return r;
}

Matrix translation(double x, double y, double z) {
    Matrix r = identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Matrix scaling(double x, double y, double z) {
    Matrix r = identity();
    r.m[0] = x;
    r.m[5] = y;
    r.m[10] = z;
    return r;
}

// Right-handed rotation about axis 0 (X), 1 (Y) or 2 (Z), as glRotatef turns.
Matrix rotation(int axis, double degrees) {
    const double a = degrees * radiansPerDegree, c = std::cos(a), s = std::sin(a);
    // The two axes it moves, the first turning toward the second: Y to Z, Z to X, X to Y.
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;
    Matrix r = identity();
    r.m[u * 4 + u] = r.m[v * 4 + v] = c;
    r.m[u * 4 + v] = s;
    r.m[v * 4 + u] = -s;
    return r;
}

Matrix headingPitchBank(double heading, double pitch, double bank) {
    return product(product(rotation(1, heading), rotation(0, pitch)), rotation(2, bank));
}

Matrix fromFloats(const GLfloat f[16]) {
    Matrix r{};
    std::copy(f, f + 16, r.m);
    return r;
}

void toFloats(const Matrix& a, GLfloat out[16]) {
    for (int i = 0; i < 16; ++i)
        out[i] = static_cast<GLfloat>(a.m[i]);
}

Matrix turn(const TEntityClass& e) {
    if (e.headingPitchBank == switchOn)
        return headingPitchBank(e.Yr, e.Xr, e.Zr);
    return product(product(rotation(0, e.Xr), rotation(1, e.Yr)), rotation(2, e.Zr));
}

Matrix localMatrix(const TEntityClass& e) {
    const Matrix scaledAboutPivot = product(scaling(e.scaleX, e.scaleY, e.scaleZ),
                                            translation(-e.pivotX, -e.pivotY, -e.pivotZ));
    return product(product(translation(e.X, e.Y, e.Z), turn(e)), scaledAboutPivot);
}

const TEntityClass* parentRecord(const TEntityRegistryClass& registry, const TEntityClass& e) {
    return e.parentID < 0 ? nullptr : registry.find(e.parentID);
}

Matrix worldMatrix(const TEntityRegistryClass& registry, const TEntityClass& record) {
    // The records from this one up to the root it is drawn under, known by their IDs.
    std::vector<const TEntityClass*> chain{&record};
    for (const TEntityClass* parent = parentRecord(registry, record); parent != nullptr;
         parent = parentRecord(registry, *parent)) {
        const auto seen = std::find_if(chain.begin(), chain.end(), [parent](const TEntityClass* e) {
            return e->ID == parent->ID;
        });
        if (seen != chain.end()) {
            // A loop: the first of its entities reached is a root, as every one on it is.
            chain.erase(std::next(seen), chain.end());
            break;
        }
        chain.push_back(parent);
    }
    Matrix world = identity();
    for (auto e = chain.rbegin(); e != chain.rend(); ++e)
        world = product(world, localMatrix(**e));
    return world;
}

double dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Makes v unit length; false, v unchanged, when it has no length to speak of.
bool normalise(double v[3]) {
    const double length = std::sqrt(dot(v, v));
    if (length < flattened)
        return false;
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
    return true;
}
}  // namespace

namespace bm {

void multiplyMatrices(const GLfloat a[16], const GLfloat b[16], GLfloat out[16]) {
    toFloats(product(fromFloats(a), fromFloats(b)), out);
}

void makeHeadingPitchBank(GLfloat m[16], GLfloat heading, GLfloat pitch, GLfloat bank) {
    toFloats(headingPitchBank(heading, pitch, bank), m);
}

void entityLocalMatrix(const TEntityClass& e, GLfloat m[16]) {
    toFloats(localMatrix(e), m);
}

void recordWorldMatrix(const TEntityRegistryClass& registry, const TEntityClass& record,
                       GLfloat m[16]) {
    toFloats(worldMatrix(registry, record), m);
}

bool entityWorldMatrix(std::int32_t id, GLfloat m[16]) {
    const TEntityClass* record = TEntityRegistry.find(id);
    toFloats(record == nullptr ? identity() : worldMatrix(TEntityRegistry, *record), m);
    return record != nullptr;
}

bool entityPivotMatrix(std::int32_t id, GLfloat m[16]) {
    const TEntityClass* record = TEntityRegistry.find(id);
    if (record == nullptr) {
        toFloats(identity(), m);
        return false;
    }
    const Matrix pivot = translation(record->pivotX, record->pivotY, record->pivotZ);
    toFloats(product(worldMatrix(TEntityRegistry, *record), pivot), m);
    return true;
}

bool placedByMatrix(const TEntityClass& e) {
    return e.parentID >= 0 || e.scaleX != 1 || e.scaleY != 1 || e.scaleZ != 1 || e.pivotX != 0 ||
           e.pivotY != 0 || e.pivotZ != 0 || e.headingPitchBank == switchOn;
}

bool scalesNormals(const GLfloat m[16]) {
    const double axes[3][3] = {{m[0], m[1], m[2]}, {m[4], m[5], m[6]}, {m[8], m[9], m[10]}};
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            const double expected = a == b ? 1 : 0;
            if (std::abs(dot(axes[a], axes[b]) - expected) > unchangedLength)
                return true;
        }
    }
    return false;
}

void makeView(const GLfloat world[16], GLfloat view[16]) {
    double x[3] = {world[0], world[1], world[2]}, z[3] = {world[8], world[9], world[10]};
    if (!normalise(z)) {
        // An eye flattened along its view keeps its place and looks down the world's -Z.
        x[0] = z[2] = 1;
        x[1] = x[2] = z[0] = z[1] = 0;
    }
    const double along = dot(x, z);
    for (int i = 0; i < 3; ++i)
        x[i] -= along * z[i];
    if (!normalise(x)) {
        // No side axis left: the one square to +Y, or to +X when it looks along Y.
        x[0] = z[2];
        x[1] = 0;
        x[2] = -z[0];
        if (!normalise(x)) {
            x[0] = 1;
            x[2] = 0;
        }
    }
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2],
                         z[0] * x[1] - z[1] * x[0]};
    const double place[3] = {world[12], world[13], world[14]};
    const double* const rows[3] = {x, y, z};
    Matrix v = identity();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            v.m[column * 4 + row] = rows[row][column];
        v.m[12 + row] = -dot(rows[row], place);
    }
    toFloats(v, view);
}

void facingDirection(const GLfloat world[16], GLfloat direction[3]) {
    double facing[3] = {-world[8], -world[9], -world[10]};
    if (!normalise(facing)) {
        facing[0] = facing[1] = 0;
        facing[2] = -1;
    }
    for (int i = 0; i < 3; ++i)
        direction[i] = static_cast<GLfloat>(facing[i]);
}

}  // namespace bm
