#pragma once

#include <cstdint>
#include <vector>

#include "clipping/IntPoint.h"
#include "clipping/OutRec.h"

namespace clip {

// The point (x2 / 2, y2 / 2) with y2 odd: it lies between two rows of the integer grid, so
// no vertex, and no horizontal edge, lies on its row.
struct RowPoint {
    std::int64_t x2;
    std::int64_t y2;
};

// Whether the segment (a, b) crosses p's row, and then on which side of p: 1 right of it,
// -1 left of it, 0 through it. Exact for any coordinates in range.
bool CrossesRow(const IntPoint& a, const IntPoint& b, const RowPoint& p, int& side);

// Winding number at p of the ring listed from pts along prev (positive inside a ring of
// positive area); false when p lies on the ring.
bool RingWinding(const OutPt* pts, const RowPoint& p, int& winding);

// The distance from p to the segment (a, b), less at most its error in long doubles: never
// more than the true distance, for any coordinates in range.
double DistanceBound(const RowPoint& p, const IntPoint& a, const IntPoint& b);

// Points strictly inside the ring (where its winding number is not zero): the middles of the
// spans inside it along rows spread over its height.
std::vector<RowPoint> InnerPoints(const OutPt* pts);

}  // namespace clip
