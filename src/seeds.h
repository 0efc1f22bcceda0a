#pragma once

#include "Math/float3.h"

namespace engine {

// A seed in [0, 999999] that depends only on the call's seed and the position, so that a
// point's later random choices stay the same when other points come or go.
int point_seed(int seed, const math::float3 &p);

}  // namespace engine
