#include "projection_index.h"

#include "Geometry/Line.h"
#include "Geometry/Plane.h"
#include "reference.h"

namespace engine {

static bool under_bounds(const math::AABB2D &b, const math::float3 &p) {
    return b.minCorner.x <= p.x && b.minCorner.y <= p.y && p.x <= b.maxCorner.x && p.y <= b.maxCorner.y;
}

ProjectionIndex::ProjectionIndex(const std::vector<math::Polygon> &faces, const std::vector<math::AABB2D> &bounds)
    : faces_(faces), bounds_(bounds), grid_(bounds) {
    targets_.reserve(faces.size());
    for (const math::Polygon &face : faces) targets_.emplace_back(face);
}

namespace {

// The highest hit offered; of equal heights, the first offered stays.
struct Topmost {
    math::float3 &best;
    uint32_t &face;
    bool found = false;

    void offer(const math::float3 &h, size_t t) {
        if (found && !(h.z > best.z)) return;
        best = h;
        face = static_cast<uint32_t>(t);
        found = true;
    }
};

}  // namespace

// Every face in order, each through the geometry library as it stands.
bool ProjectionIndex::scan_every_face(const math::float3 &p, math::float3 &best, uint32_t &best_face) const {
    const math::Line line(p, math::float3(0.0f, 0.0f, -1.0f));
    Topmost topmost{best, best_face};
    for (size_t t = 0; t < faces_.size(); ++t) {
        float d = 0.0f;
        if (!under_bounds(bounds_[t], p) || !faces_[t].PlaneCCW().Intersects(line, &d)) continue;
        const math::float3 h = line.GetPoint(d);
        if (faces_[t].Contains(h, 1e-5f)) topmost.offer(h, t);
    }
    return topmost.found;
}

// The candidates come in increasing face order, as the scan offers them.
bool ProjectionIndex::topmost_hit(const math::float3 &p, math::float3 &best, uint32_t &best_face) const {
    if (use_reference_algorithms) return scan_every_face(p, best, best_face);
    Topmost topmost{best, best_face};
    for (const uint32_t t : grid_.candidates(p.x, p.y)) {
        math::float3 h;
        if (under_bounds(bounds_[t], p) && targets_[t].hit(p, faces_[t], h)) topmost.offer(h, t);
    }
    return topmost.found;
}

}  // namespace engine
