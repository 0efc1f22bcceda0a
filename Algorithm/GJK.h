#pragma once

#include "Math/float3.h"

namespace math {

// Reduces the simplex s[0..n) (n = 2, 3 or 4, the newest point last) of Minkowski differences to
// its feature nearest the origin, reordering s and setting n, and returns the next search
// direction, unnormalised. n = 0 with (0, 0, 0) returned means the origin is enclosed or touched.
float3 UpdateSimplex(float3 *s, int &n);

// The boolean Gilbert-Johnson-Keerthi test: true when the convex shapes a and b touch or overlap.
// Each shape gives StartingPoint(), some point of itself, and ExtremePoint(direction,
// projectionDistance), a point farthest along direction with its dot product. Shapes that give
// a non-finite point (empty or NaN shapes) never intersect. Separations below about 1e-3 may
// count as contact.
template <typename A, typename B>
bool GJKIntersect(const A &a, const B &b) {
    const int kMaxIterations = 50;
    float3 s[4];
    s[0] = a.StartingPoint() - b.StartingPoint();
    if (!s[0].IsFinite()) return false;
    float3 d = -s[0];
    if (d.LengthSq() < 1e-7f) return true;
    int n = 1;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        float maxS;
        float minS;
        const float3 pa = a.ExtremePoint(d, maxS);
        const float3 pb = b.ExtremePoint(-d, minS);
        const float3 p = pa - pb;
        // The new support point does not pass the origin along d: a separating plane.
        if (maxS + minS < 0.f) return false;
        if (!p.IsFinite()) return false;
        s[n] = p;
        n += 1;
        d = UpdateSimplex(s, n);
        if (n == 0) return true;
    }
    return false;
}

}  // namespace math
