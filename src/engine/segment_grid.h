// The segments of one outline bucketed in a uniform grid in plan view, so that the segment
// nearest to a point is found by visiting the cells around the point instead of every
// segment. The search is exact: it gives the very value the scan over every segment gives.
#pragma once

#include <vector>

#include "Geometry/LineSegment.h"
#include "Math/float3.h"
#include "plan_grid.h"

namespace engine {

constexpr float kNoSegment = -1.0f;  // no segment gives a finite distance

// The scan (the reference): the smallest p.DistanceSq(segment.ClosestPoint(p)) over the
// segments, non-finite values skipped; kNoSegment when none is finite.
float nearest_sq_by_scan(const std::vector<math::LineSegment> &segments, const math::float3 &p);

class SegmentGrid {
public:
    explicit SegmentGrid(const std::vector<math::LineSegment> &segments);

    // What the scan gives.
    float nearest_sq(const math::float3 &p) const;

private:
    class Search;
    // A segment with what its distance in double needs beyond its ends.
    struct Placed {
        math::LineSegment segment;
        double inverse_length_sq;  // 0 for a zero length
    };
    struct Cell {
        size_t begin = 0, end = 0;  // its segments in placed_
        PlanBox box;             // around its segments
    };
    void place(const std::vector<math::LineSegment> &segments);
    bool unvisited_beyond(const CellSpan &visited, const Search &search) const;
    void visit(int column, int row, Search &search) const;

    std::vector<math::LineSegment> always_;  // scanned for every point: non-finite ends, or too few to index
    std::vector<Placed> placed_;  // cell by cell; a segment sits in every cell its box meets
    std::vector<Cell> cells_;
    PlanGrid grid_;  // over the finite segments
    double largest_ = 0;
};

}  // namespace engine
