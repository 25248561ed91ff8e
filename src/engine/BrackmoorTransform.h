// BrackmoorTransform.h - entity matrices: an entity's own, its world matrix through its parents,
// and the view of an eye placed by a world matrix.
#pragma once

#include "BrackmoorCompatibility.h"

#include <cstdint>

class TEntityClass;
class TEntityRegistryClass;

namespace bm {
// Matrices are column-major GLfloat[16], m[c * 4 + r] being row r, column c, as GL takes them.
// They act on column vectors, p' = M · p, so A · B applies B first. Angles are in degrees; the
// rotations are the right-handed ones glRotatef makes about X, Y and Z.

// out = a · b; out may be a or b.
void multiplyMatrices(const GLfloat a[16], const GLfloat b[16], GLfloat out[16]);

// Ry(heading) · Rx(pitch) · Rz(bank): bank first, then pitch, then heading. A heading of 90 turns
// +Z toward +X, a pitch of 90 turns +Z toward -Y (so -Z, where a camera looks, toward +Y), a bank
// of 90 turns +X toward +Y.
void makeHeadingPitchBank(GLfloat m[16], GLfloat heading, GLfloat pitch, GLfloat bank);

// The entity's own matrix, T(X, Y, Z) · R · S(scaleX, scaleY, scaleZ) · T(-pivot). R is
// Ry(Yr) · Rx(Xr) · Rz(Zr) when headingPitchBank is 1, else Rx(Xr) · Ry(Yr) · Rz(Zr), the turn
// RotateEntity gives.
void entityLocalMatrix(const TEntityClass& e, GLfloat m[16]);

// The record's world matrix: the local matrices of its parents' registry records, outermost
// first, times its own. A parentID of -1, or one with no record, makes an entity a root; so does
// being its own ancestor, for every entity on such a loop.
void recordWorldMatrix(const TEntityRegistryClass& registry, const TEntityClass& record,
                       GLfloat m[16]);

// The world matrix of TEntityRegistry's record with this ID; false, m the identity, when there
// is none.
bool entityWorldMatrix(std::int32_t id, GLfloat m[16]);

// Where a camera or light that goes with this entity stands: its world matrix moved to its pivot,
// world · T(pivot), the place its position gives, with its axes. False, m the identity, without
// a record.
bool entityPivotMatrix(std::int32_t id, GLfloat m[16]);

// True when the renderer places the entity by its world matrix instead of glTranslatef and
// glRotatef: it has a parent, a scale other than 1, a pivot or the heading, pitch, bank order.
bool placedByMatrix(const TEntityClass& e);

// True when a direction's length changes through m: lit normals then need GL_NORMALIZE.
bool scalesNormals(const GLfloat m[16]);

// The view from an eye that world places, looking down its -Z with +Y up: world with the scale
// taken out of its axes (its -Z kept, the others made square to it), inverted.
void makeView(const GLfloat world[16], GLfloat view[16]);

// The direction an item that world places faces: its -Z, unit length; (0, 0, -1) when world
// flattens that axis to nothing.
void facingDirection(const GLfloat world[16], GLfloat direction[3]);
}  // namespace bm
