#pragma once

#include <cstddef>
#include <limits>

#include "Math/float3.h"

namespace math {

// The point of a list that lies farthest along `direction`; the first of equals wins. An empty
// list or a NaN direction gives NaN with a distance of -inf, which GJK reads as no support.
inline float3 FarthestAlong(const float3 *points, std::size_t count, const float3 &direction,
                            float &projectionDistance) {
    float3 best = float3::nan;
    projectionDistance = -std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < count; ++i) {
        const float d = direction.Dot(points[i]);
        if (d > projectionDistance) {
            best = points[i];
            projectionDistance = d;
        }
    }
    return best;
}

}  // namespace math
