// What the collision test knows of a record: its position and the radius its instance
// keeps clear around it.
#pragma once

#include "Math/float3.h"

namespace engine {

struct Footprint {
    math::float3 centre;
    float radius;
};

// Whether two footprints overlap: their centres lie closer than their radii together.
inline bool overlap(const Footprint &a, const Footprint &b) {
    return a.centre.Distance(b.centre) < b.radius + a.radius;
}

}  // namespace engine
