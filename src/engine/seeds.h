#pragma once

#include <vector>

#include "Math/float3.h"

namespace engine {

// A seed in [0, 999999] that depends only on the call's seed and the position, so that a
// point's later random choices stay the same when other points come or go.
int point_seed(int seed, const math::float3 &p);

// The definition of each of n records: each definition as often as its share of the weights
// (rounded up, never more than n), dealt in the shuffle's order and repeated as needed;
// -1 for every record when there is no definition. Leaves the rand stream seeded by seed.
std::vector<int> deal_definitions(const std::vector<float> &weights, float total, int n, int seed);

}  // namespace engine
