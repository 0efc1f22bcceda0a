#pragma once

#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"

// Points and directions under the linear and the affine matrix alike, so that the box
// transforms can be written once for both; and the transformed copy behind the shapes' free
// products with a matrix or a quaternion.
namespace math {
namespace matrix_map {

inline float3 Point(const float3x3 &m, const float3 &p) { return m.Mul(p); }
inline float3 Point(const float3x4 &m, const float3 &p) { return m.MulPos(p); }
inline float3 Direction(const float3x3 &m, const float3 &d) { return m.Mul(d); }
inline float3 Direction(const float3x4 &m, const float3 &d) { return m.MulDir(d); }

template <typename Transform, typename Shape>
Shape TransformedCopy(const Transform &transform, const Shape &shape) {
    Shape copy = shape;
    copy.Transform(transform);
    return copy;
}

}  // namespace matrix_map
}  // namespace math
