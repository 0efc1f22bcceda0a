#pragma once

#include "Geometry/Plane.h"

namespace math {

// A convex volume bounded by six planes whose normals point out of it. The boxes give their
// faces in face order, the frustum near, left, right, top, bottom, far.
class PBVolume {
public:
    static constexpr int kNumPlanes = 6;
    Plane p[kNumPlanes];
};

}  // namespace math
