// Point containment in one polygon for many points: the polygon's edges bucketed in bands
// across the test ray, in the containment test's own frame, so that a point is tested only
// against the edges that can cross its ray instead of against every edge. The answer is
// exactly Polygon::Contains's: the edges tested are computed with its arithmetic on the same
// floats, and an edge left out cannot cross the ray whatever the rounding.
#pragma once

#include <vector>

#include "Geometry/Polygon.h"
#include "Math/float3.h"

namespace engine {

class RingContainment {
public:
    // polygon must outlive this, and axes be its ContainmentAxes().
    RingContainment(const math::Polygon &polygon, const math::PolygonAxes &axes, float thickness_sq);

    bool contains(const math::float3 &p) const;

    // Coordinates beyond this may overflow the test's float sums.
    static constexpr double kLargest = 1e37;

    // How far from every edge a point in plan view (z zero, coordinates within kLargest)
    // must lie, beyond the rounding margin of its coordinates, for its answer to hold for
    // every such point it can reach without coming nearer: infinite unless the ring lies in
    // plan view with a frame that maps it without distortion. The test nudges vertices less
    // than 2e-4 off its ray, and rounds its frame coordinates by far less than the margin, so
    // the outline it sees lies within 3e-4 of the true one and never passes over such a
    // point: it counts the true parity, which does not change along the way.
    double settled() const { return settled_; }

private:
    // One edge, from the vertex before to the vertex, as the test walks them, with the
    // extent of its ends along the axes (in double, widened by the rounding margin).
    struct Edge {
        math::float3 from, to;
        double v_low, v_high, u_high;
    };

    void place(const std::vector<Edge> &edges, double high);
    int band(double v) const;

    const math::Polygon &polygon_;
    math::PolygonAxes axes_;
    float thickness_sq_;
    math::float3 normal_;        // u x v, as the test derives it
    bool indexed_ = false;       // false: every point goes to Polygon::Contains
    double settled_;             // see settled()
    double largest_ = 0;         // coordinate of the vertices, in magnitude
    double low_ = 0, band_height_ = 0;
    int bands_ = 0;
    std::vector<size_t> band_begin_;  // bands_ + 1 offsets into edges_
    std::vector<Edge> edges_;         // band by band; an edge sits in every band it spans
};

}  // namespace engine
