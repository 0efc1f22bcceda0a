#include "ring_containment.h"

#include <algorithm>
#include <cmath>

#include "Math/float2.h"
#include "crossing_rule.h"
#include "vector_order.h"
#include "plan_box.h"

namespace engine {

static constexpr size_t kFewEdges = 16;   // fewer are simply all tested
static constexpr int kMostBands = 4096;
static constexpr size_t kPlacementsPerEdge = 4;  // long edges make many bands wasteful
static constexpr double kSettled = 1e-3;         // over three times the outline's drift

// An end of an edge relative to p in the frame, as the containment test takes it.
static math::float2 relative(const math::float3 &x, const math::float3 &p, const math::PolygonAxes &axes) {
    return in_frame(minus(x, p), axes.u, axes.v);
}

// A coordinate along an axis in double: exact but for one rounding per term.
static double along(const math::float3 &x, const math::float3 &axis) {
    return double(x.x) * axis.x + double(x.y) * axis.y + double(x.z) * axis.z;
}

static double magnitude(const math::float3 &x) {
    return std::max({std::fabs(double(x.x)), std::fabs(double(x.y)), std::fabs(double(x.z))});
}

// In plan view: every vertex finite with z zero, and the frame's plan parts of unit length
// (to a percent) and at right angles, with a normal along z, so that the plane test passes
// every point with z zero and the frame keeps distances to a few percent.
static bool in_plan_view(const std::vector<math::float3> &vertices, const math::PolygonAxes &axes,
                         const math::float3 &normal) {
    for (const math::float3 &v : vertices)
        if (!v.IsFinite() || v.z != 0.0f || magnitude(v) > RingContainment::kLargest) return false;
    const auto unit = [](const math::float3 &a) {
        const double length_sq = double(a.x) * a.x + double(a.y) * a.y;
        return length_sq > 0.98 && length_sq < 1.02;
    };
    return vertices.size() >= 3 && axes.u.IsFinite() && axes.v.IsFinite() && unit(axes.u) && unit(axes.v) &&
           normal.x == 0.0f && normal.y == 0.0f && std::fabs(normal.z) > 0.98f && std::fabs(normal.z) < 1.02f;
}

// The float relative coordinates of an end differ from the double ones by far less than the
// margin while p is no larger than the largest vertex coordinate. So an end that the test
// finds above the ray (relative v at least kOnRay) has v_high >= v(p) + kOnRay, one it finds
// below has v_low <= it, and one with a positive relative u has u_high > u(p): an edge whose
// extent misses either bound cannot cross.
RingContainment::RingContainment(const math::Polygon &polygon, const math::PolygonAxes &axes, float thickness_sq)
    : polygon_(polygon),
      axes_(axes),
      thickness_sq_(thickness_sq),
      normal_(axes.u.Cross(axes.v)),
      settled_(in_plan_view(polygon.vertices, axes, normal_) ? kSettled : HUGE_VAL) {
    const std::vector<math::float3> &vertices = polygon.vertices;
    const size_t n = vertices.size();
    if (n < kFewEdges || !axes.u.IsFinite() || !axes.v.IsFinite()) return;
    for (const math::float3 &v : vertices) {
        if (!v.IsFinite()) return;
        largest_ = std::max(largest_, magnitude(v));
    }
    if (largest_ > kLargest) return;  // no index
    const double margin = rounding_margin(largest_);
    std::vector<Edge> edges;
    edges.reserve(n);
    double high = -HUGE_VAL;
    low_ = HUGE_VAL;
    for (size_t k = 0; k < n; ++k) {
        const math::float3 &from = vertices[k == 0 ? n - 1 : k - 1], &to = vertices[k];
        const double v_from = along(from, axes.v), v_to = along(to, axes.v);
        const double v0 = std::min(v_from, v_to), v1 = std::max(v_from, v_to);
        edges.push_back({from, to, v0 - margin, v1 + margin, std::max(along(from, axes.u), along(to, axes.u)) + margin});
        low_ = std::min(low_, v0 - margin);
        high = std::max(high, v1 + margin);
    }
    place(edges, high);
    indexed_ = true;
}

void RingContainment::place(const std::vector<Edge> &edges, double high) {
    const auto spans = [&] {
        size_t total = 0;
        for (const Edge &e : edges) total += static_cast<size_t>(band(e.v_high) - band(e.v_low) + 1);
        return total;
    };
    bands_ = static_cast<int>(std::min<size_t>(edges.size() / 2, kMostBands));
    for (;; bands_ /= 2) {
        band_height_ = (high - low_) / bands_;
        if (bands_ == 1 || spans() <= kPlacementsPerEdge * edges.size()) break;
    }
    band_begin_.assign(static_cast<size_t>(bands_) + 1, 0);
    for (const Edge &e : edges)
        for (int b = band(e.v_low); b <= band(e.v_high); ++b) ++band_begin_[b + 1];
    for (int b = 0; b < bands_; ++b) band_begin_[b + 1] += band_begin_[b];
    edges_.resize(band_begin_[bands_]);
    std::vector<size_t> next(band_begin_.begin(), band_begin_.end() - 1);
    for (const Edge &e : edges)
        for (int b = band(e.v_low); b <= band(e.v_high); ++b) edges_[next[b]++] = e;
}

// Monotonic in v, so that an edge's bands span the band of every v within its extent.
int RingContainment::band(double v) const {
    if (!(band_height_ > 0)) return 0;
    const double b = std::floor((v - low_) / band_height_);
    if (!(b > 0)) return 0;
    return b >= bands_ ? bands_ - 1 : static_cast<int>(b);
}

bool RingContainment::contains(const math::float3 &p) const {
    const bool within = std::fabs(p.x) <= largest_ && std::fabs(p.y) <= largest_ && std::fabs(p.z) <= largest_;
    if (!indexed_ || !within) return polygon_.Contains(p, thickness_sq_, axes_);
    const float plane_distance = normal_.Dot(polygon_.vertices[0] - p);
    if (plane_distance * plane_distance > thickness_sq_) return false;
    const double w = along(p, axes_.v) + static_cast<double>(kOnRay), u = along(p, axes_.u);
    const int b = band(w);
    int crossings = 0;
    for (size_t k = band_begin_[b]; k < band_begin_[b + 1]; ++k) {
        const Edge &e = edges_[k];
        if (e.v_low <= w && w <= e.v_high && e.u_high > u &&
            crosses_ray(relative(e.from, p, axes_), relative(e.to, p, axes_)))
            ++crossings;
    }
    return crossings % 2 == 1;
}

}  // namespace engine
