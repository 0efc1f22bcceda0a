// Dropping points vertically onto the topmost face that contains them.
#pragma once

#include <cstdint>
#include <vector>

#include "Math/float3.h"
#include "pace.h"
#include "scene.h"

namespace engine {

struct Projected {
    math::float3 position;
    uint32_t face;  // whose normal the record takes
};

// The points that hit a face, in order; the prompt may abort the step.
Prompted<std::vector<Projected>> project_down(const Surface &surface, const std::vector<math::float3> &points,
                                              TimeLimitPrompt &prompt);

}  // namespace engine
