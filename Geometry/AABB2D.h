#pragma once

#include "Math/float2.h"

namespace math {

// A face's bounds in the plane; construction leaves both corners unset.
struct AABB2D {
    float2 minCorner;
    float2 maxCorner;
};

}  // namespace math
