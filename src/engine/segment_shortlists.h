// The nearest segment to each of many points of one plan-view area. A grid over the area
// keeps, for each cell, the short list of segments that can be the nearest to some point of
// it, found once for all points; a point then measures only those. The answer is exactly the
// scan's: every segment left off a list lies, from every point of the cell, farther than the
// list's proof distance, and a point whose nearest listed segment does not come within it
// (or that lies outside the area) asks the segment grid instead.
#pragma once

#include <cstdint>
#include <vector>

#include "Geometry/LineSegment.h"
#include "Math/float3.h"
#include "plan_grid.h"
#include "plan_segments.h"
#include "segment_grid.h"

namespace engine {

class SegmentShortlists {
public:
    static constexpr uint32_t kNoList = UINT32_MAX;

    // The segments in plan view (z zero); area is where about `points` points will lie. The
    // lists pay only when the points outnumber the segments: otherwise every point asks the
    // grid. With a positive settling distance, lists that share cells keep a clearance of at
    // least that: only single cells come nearer to a segment.
    SegmentShortlists(const std::vector<math::LineSegment> &segments, const PlanBox &area, double points,
                      double settle);

    // The list of the cell holding p: kNoList outside the area, off the plan (z not zero) or
    // when the segments could not be listed.
    uint32_t list_at(const math::float3 &p) const;
    size_t list_count() const { return lists_.size(); }
    // No segment comes nearer than this to a point of the list's cells, by more than the
    // rounding margin of their coordinates.
    double clearance(uint32_t list) const { return lists_[list].clearance; }

    // What nearest_sq_by_scan gives; list is list_at(p).
    float nearest_sq(const math::float3 &p, uint32_t list) const;

private:
    class Builder;
    struct Shortlist {
        uint32_t begin, end;  // its segments in members_, four to an entry
        // No segment off the list measures less than this from a point of the list's cells.
        float proof_sq;
        double clearance;
    };

    SegmentGrid grid_;     // for the points the lists cannot answer
    bool listed_ = false;  // false: every point asks the grid
    PlanGrid cells_;
    std::vector<uint32_t> list_of_cell_;
    std::vector<Shortlist> lists_;
    std::vector<PlanSegments> members_;  // list by list
};

}  // namespace engine
