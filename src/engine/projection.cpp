#include "projection.h"

#include "reference.h"

namespace engine {

bool use_reference_algorithms = false;

Prompted<std::vector<Projected>> project_down(const Surface &surface, const std::vector<math::float3> &points,
                                              TimeLimitPrompt &prompt) {
    Prompted<std::vector<Projected>> out;
    const ProjectionIndex &index = surface.projection_index();
    out.result.reserve(points.size());
    for (const math::float3 &p : points) {
        if (prompt.aborted()) {
            out.aborted = true;
            out.result.clear();
            return out;
        }
        math::float3 hit;
        uint32_t face = 0;
        if (index.topmost_hit(p, hit, face)) out.result.push_back({hit, face});
    }
    out.confirmed = prompt.confirmed();
    return out;
}

}  // namespace engine
