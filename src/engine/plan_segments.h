// Four segments in plan view side by side, one per lane, measured against a point at once:
// each lane computes p.DistanceSq(segment.ClosestPoint(p)) with the very same float
// operations on the same floats as the library, so it gives the same bits. The lanes are
// GCC vector types: every lane rounds exactly as a lone float does.
#pragma once

#include "Geometry/LineSegment.h"

namespace engine {

using Lanes = float __attribute__((vector_size(16)));

struct PlanSegments {
    static constexpr int kLanes = 4;

    // a, b - a and its squared length as the library computes them; an empty lane holds NaN,
    // whose distance is NaN and so counts for nothing.
    Lanes ax, ay, vx, vy, length_sq;

    PlanSegments();
    // The segment and the point must lie in plan view: z zero.
    void set(int lane, const math::LineSegment &segment);

    // The z terms the library adds are zeros that can at most turn the sign of a zero dot
    // product, which only flips the sign of zeros that the squares then erase.
    Lanes distance_sq(float x, float y) const {
        const Lanes wx = x - ax, wy = y - ay;
        Lanes d = (wx * vx + wy * vy) / length_sq;
        d = (d <= 1.f) ? (d >= 0.f ? d : 0.f) : 1.f;  // NaN (zero length) clamps to 1
        const Lanes dx = x - (ax + vx * d), dy = y - (ay + vy * d);
        return dx * dx + dy * dy;
    }
};

}  // namespace engine
