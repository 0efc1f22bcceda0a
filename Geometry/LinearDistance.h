#pragma once

#include "Geometry/LineSegment.h"
#include "Math/float3.h"

// The queries that the line, the ray and the segment answer alike through their own
// closest-point rules, written once so that the three cannot drift apart.
namespace math {
namespace linear_distance {

template <typename Shape>
float3 ClosestPoint(const Shape &shape, const float3 &p) {
    float d;
    return shape.ClosestPoint(p, d);
}

template <typename Shape>
float Distance(const Shape &shape, const float3 &p) {
    float d;
    return shape.Distance(p, d);
}

template <typename Shape>
float Distance(const Shape &shape, const float3 &p, float &d) {
    return p.Distance(shape.ClosestPoint(p, d));
}

template <typename Shape>
bool Contains(const Shape &shape, const float3 &p, float distanceThresholdSq) {
    return shape.ClosestPoint(p).DistanceSq(p) <= distanceThresholdSq;
}

// From the closest point on shape to the point of other at the parameter d2 that the same
// query gives.
template <typename Shape, typename Other>
float Distance(const Shape &shape, const Other &other, float &d, float &d2) {
    const float3 c = shape.ClosestPoint(other, d, d2);
    return c.Distance(other.GetPoint(d2));
}

// After the carrying lines' closest parameters: a segment parameter d2 beyond an end is
// clamped to it, and shape's point nearest that end is taken instead.
template <typename Shape>
float3 ClampedToSegment(const Shape &shape, const LineSegment &segment, float &d, float &d2) {
    if (d2 < 0.f) {
        d2 = 0.f;
        return shape.ClosestPoint(segment.a, d);
    }
    if (d2 > 1.f) {
        d2 = 1.f;
        return shape.ClosestPoint(segment.b, d);
    }
    return shape.GetPoint(d);
}

}  // namespace linear_distance
}  // namespace math
