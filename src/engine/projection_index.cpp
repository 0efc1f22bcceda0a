#include "projection_index.h"

#include "reference.h"

namespace engine {

static bool under_bounds(const math::AABB2D &b, const math::float3 &p) {
    return b.minCorner.x <= p.x && b.minCorner.y <= p.y && p.x <= b.maxCorner.x && p.y <= b.maxCorner.y;
}

ProjectionIndex::ProjectionIndex(const std::vector<math::Polygon> &faces, const std::vector<math::AABB2D> &bounds)
    : faces_(faces), bounds_(bounds), grid_(bounds) {
    planes_.reserve(faces.size());
    axes_.reserve(faces.size());
    for (const math::Polygon &face : faces) {
        planes_.push_back(face.PlaneCCW());
        axes_.push_back(face.ContainmentAxes());
    }
}

// Whether face t holds the vertical line's hit and it is higher than `best`.
bool ProjectionIndex::hit(size_t t, const math::Line &line, bool found, math::float3 &best) const {
    if (!under_bounds(bounds_[t], line.pos)) return false;
    float d = 0.0f;
    if (!planes_[t].Intersects(line, &d)) return false;
    const math::float3 h = line.GetPoint(d);
    if (!faces_[t].Contains(h, 1e-5f, axes_[t]) || (found && !(h.z > best.z))) return false;
    best = h;
    return true;
}

bool ProjectionIndex::topmost_hit(const math::float3 &p, math::float3 &best, long &best_face) const {
    const math::Line line(p, math::float3(0.0f, 0.0f, -1.0f));
    bool found = false;
    auto test = [&](size_t t) {
        if (hit(t, line, found, best)) {
            best_face = static_cast<long>(t);
            found = true;
        }
    };
    if (use_reference_algorithms) {
        for (size_t t = 0; t < faces_.size(); ++t) test(t);
    } else {
        for (int t : grid_.candidates(p.x, p.y)) test(static_cast<size_t>(t));
    }
    return found;
}

}  // namespace engine
