#include "projection_index.h"

#include "Geometry/Line.h"
#include "Geometry/Plane.h"
#include "reference.h"

namespace engine {

static bool under_bounds(const math::AABB2D &b, const math::float3 &p) {
    return b.minCorner.x <= p.x && b.minCorner.y <= p.y && p.x <= b.maxCorner.x && p.y <= b.maxCorner.y;
}

// A face of fewer than three vertices contains no point.
static std::vector<uint32_t> testable(const std::vector<math::Polygon> &faces) {
    std::vector<uint32_t> numbers;
    numbers.reserve(faces.size());
    for (size_t t = 0; t < faces.size(); ++t)
        if (faces[t].vertices.size() >= 3) numbers.push_back(static_cast<uint32_t>(t));
    return numbers;
}

static std::vector<math::AABB2D> bounds_of(const std::vector<uint32_t> &numbers, const std::vector<math::AABB2D> &bounds) {
    std::vector<math::AABB2D> out;
    out.reserve(numbers.size());
    for (const uint32_t t : numbers) out.push_back(bounds[t]);
    return out;
}

ProjectionIndex::ProjectionIndex(const std::vector<math::Polygon> &faces, const std::vector<math::AABB2D> &bounds)
    : faces_(faces),
      bounds_(bounds),
      numbers_(testable(faces)),
      target_bounds_(bounds_of(numbers_, bounds)),
      grid_(target_bounds_) {
    targets_.reserve(numbers_.size());
    size_t vertices = 0;
    for (const uint32_t t : numbers_) vertices += faces[t].vertices.size();
    vertices_.reserve(vertices);
    for (const uint32_t t : numbers_) targets_.emplace_back(faces[t], vertices_);
}

// Every face in order, each through the geometry library as it stands.
bool ProjectionIndex::scan_every_face(const math::float3 &p, math::float3 &best, long &best_face) const {
    const math::Line line(p, math::float3(0.0f, 0.0f, -1.0f));
    bool found = false;
    for (size_t t = 0; t < faces_.size(); ++t) {
        float d = 0.0f;
        if (!under_bounds(bounds_[t], p) || !faces_[t].PlaneCCW().Intersects(line, &d)) continue;
        const math::float3 h = line.GetPoint(d);
        if (!faces_[t].Contains(h, 1e-5f) || (found && !(h.z > best.z))) continue;
        best = h;
        best_face = static_cast<long>(t);
        found = true;
    }
    return found;
}

bool ProjectionIndex::topmost_hit(const math::float3 &p, math::float3 &best, long &best_face) const {
    if (use_reference_algorithms) return scan_every_face(p, best, best_face);
    bool found = false;
    for (const uint32_t k : grid_.candidates(p.x, p.y)) {
        math::float3 h;
        if (!under_bounds(target_bounds_[k], p) || !targets_[k].hit(p, vertices_.data(), h) ||
            (found && !(h.z > best.z)))
            continue;
        best = h;
        best_face = numbers_[k];
        found = true;
    }
    return found;
}

}  // namespace engine
