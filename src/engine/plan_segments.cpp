#include "plan_segments.h"

#include <limits>

namespace engine {

PlanSegments::PlanSegments() {
    const Lanes empty = Lanes{} + std::numeric_limits<float>::quiet_NaN();
    ax = ay = vx = vy = length_sq = empty;
}

void PlanSegments::set(int lane, const math::LineSegment &segment) {
    const math::float3 v = segment.b - segment.a;
    ax[lane] = segment.a.x;
    ay[lane] = segment.a.y;
    vx[lane] = v.x;
    vy[lane] = v.y;
    length_sq[lane] = v.LengthSq();
}

}  // namespace engine
