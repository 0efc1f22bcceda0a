#pragma once

#include <cstddef>

#include "Math/float3.h"

namespace math {

// Over parts 0..count-1, the point that lies nearest its partner: `pointOf(i, partner)` returns
// part i's point and sets the partner it was measured to. The first of equals wins; NaN, with a
// NaN partner, when no part comes nearer than the float maximum.
template <typename PointOf>
float3 NearestPair(std::size_t count, const PointOf &pointOf, float3 *outPartner = nullptr) {
    float3 best = float3::nan;
    float3 bestPartner = float3::nan;
    float bestSq = 3.4028235e38f;
    for (std::size_t i = 0; i < count; ++i) {
        float3 partner = float3::nan;
        const float3 c = pointOf(i, partner);
        const float dsq = c.DistanceSq(partner);
        if (dsq < bestSq) {
            best = c;
            bestPartner = partner;
            bestSq = dsq;
        }
    }
    if (outPartner) *outPartner = bestPartner;
    return best;
}

}  // namespace math
