// The factors of an instance transformation and their products, formed with the geometry
// library's own arithmetic, term for term and in its order. The library forms a factor
// through a chain of out-of-line conversions and products, each through memory; these inline
// into the step, which keeps a factor in registers until it multiplies it in.
//
// Each gives the library's result to the last bit, zeros' signs included, except for which NaN
// a result holds: IEEE sums and products do not depend on the order of their operands, except
// that of two NaNs the one the compiled code happens to put first is kept. A NaN, once made,
// reaches the result through the sums and products (LookAt's normalisation may drop one, and
// then which it was makes no difference), so a result without NaN is the library's bit for bit.
#pragma once

#include <cstring>

#include "Math/MathFunc.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float4x4.h"

namespace engine {

// Four floats in one vector register: GCC's vector extension, whose arithmetic is the scalar
// IEEE arithmetic in each lane.
typedef float Lanes __attribute__((vector_size(16)));

inline Lanes lanes(const float (&four)[4]) {
    Lanes v;
    std::memcpy(&v, four, sizeof v);
    return v;
}

// An affine factor: its top three rows, each in one vector (built in registers, since a vector
// read of a row just written element by element would wait for the stores); the last row is
// (0, 0, 0, 1).
struct Affine {
    Lanes row[3];

    // The 3x3 part and the translation column.
    Affine(const float (&part)[3][3], const float (&translation)[3])
        : row{Lanes{part[0][0], part[0][1], part[0][2], translation[0]},
              Lanes{part[1][0], part[1][1], part[1][2], translation[1]},
              Lanes{part[2][0], part[2][1], part[2][2], translation[2]}} {}
};

// Rows of a result, each in one vector.
using Rows = Lanes[4];

// m * x: element (r, c) is ((m_r0 x_0c + m_r1 x_1c) + m_r2 x_2c) + m_r3 x_3c, as the
// library's product sums it, a row of the result at a time.
inline Lanes product_row(const float (&a)[4], const Affine &x) {
    const Lanes last{0.0f, 0.0f, 0.0f, 1.0f};
    return ((a[0] * x.row[0] + a[1] * x.row[1]) + a[2] * x.row[2]) + a[3] * last;
}

inline void product(const math::float4x4 &m, const Affine &x, Rows &out) {
    out[0] = product_row(m.elements[0], x);
    out[1] = product_row(m.elements[1], x);
    out[2] = product_row(m.elements[2], x);
    out[3] = product_row(m.elements[3], x);
}

// The first three elements of a row applied to the point q, plus `offset`:
// ((m_r0 q_x + m_r1 q_y) + m_r2 q_z) + offset, as a product with the translation T(q) sums it.
inline float moved(const float *row, const math::float3 &q, float offset) {
    return ((row[0] * q.x + row[1] * q.y) + row[2] * q.z) + offset;
}

// m * Translate(t), as operator*(float4x4, TranslateOp) forms it: only the translation
// column changes, to m applied to t.
inline void translated(const math::float4x4 &m, const math::float3 &t, Rows &out) {
    for (int r = 0; r < 3; ++r) {
        const float(&a)[4] = m.elements[r];
        out[r] = Lanes{a[0], a[1], a[2], moved(a, t, a[3])};
    }
    out[3] = lanes(m.elements[3]);
}

// Writes the rows over m unless their sum is NaN, and tells whether it did. The sum is NaN
// always when an element is, and seldom otherwise (infinities of both signs, or sums
// overflowing both ways): a cheap test that a result may hold a NaN.
inline bool store_unless_nan(const Rows &rows, math::float4x4 &m) {
    const Lanes sum = (rows[0] + rows[1]) + (rows[2] + rows[3]);
    const float total = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    if (total != total) return false;
    for (int r = 0; r < 4; ++r) std::memcpy(m.elements[r], &rows[r], sizeof rows[r]);
    return true;
}

// `inner` acting about the point p, as float4x4::RotateX(angle, p) and the other members
// "about a point" form it: T(p) * inner has the translation 0 + p (inner's zero translation
// plus p), and its product with T(-p) moves that by inner applied to -p.
inline Affine about_point(const math::float3x3 &inner, const math::float3 &p) {
    const math::float3 q(-p.x, -p.y, -p.z);
    const float translation[3] = {moved(inner.elements[0], q, 0.0f + p.x), moved(inner.elements[1], q, 0.0f + p.y),
                                  moved(inner.elements[2], q, 0.0f + p.z)};
    return Affine(inner.elements, translation);
}

// float4x4::Scale(scale, centre): T(centre) * diag(scale) has the translation centre itself,
// and its product with T(-centre) moves that by the diagonal (zeros off it) applied to -centre.
inline Affine scale_about(const math::float3 &scale, const math::float3 &centre) {
    const float diagonal[3][3] = {{scale.x, 0.0f, 0.0f}, {0.0f, scale.y, 0.0f}, {0.0f, 0.0f, scale.z}};
    const math::float3 q(-centre.x, -centre.y, -centre.z);
    const float translation[3] = {moved(diagonal[0], q, centre.x), moved(diagonal[1], q, centre.y),
                                  moved(diagonal[2], q, centre.z)};
    return Affine(diagonal, translation);
}

enum class Axis { x, y, z };

// float3x3::RotateX, RotateY or RotateZ(angle): the library's sine and cosine of the angle,
// placed where its members place them.
inline math::float3x3 axis_rotation(Axis axis, float angle) {
    float s, c;
    math::SinCos(angle, s, c);
    switch (axis) {
        case Axis::x: return math::float3x3(1.0f, 0.0f, 0.0f, 0.0f, c, -s, 0.0f, s, c);
        case Axis::y: return math::float3x3(c, 0.0f, s, 0.0f, 1.0f, 0.0f, -s, 0.0f, c);
        default: return math::float3x3(c, -s, 0.0f, s, c, 0.0f, 0.0f, 0.0f, 1.0f);
    }
}

// float3x3::LookAt(local_forward, target, local_up, world_up), the same operations in the
// same order, with the vector arithmetic written out where the library calls its members.
math::float3x3 look_at(const math::float3 &local_forward, const math::float3 &target, const math::float3 &local_up,
                       const math::float3 &world_up);

}  // namespace engine
