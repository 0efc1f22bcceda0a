#pragma once

#include "clipping/IntPoint.h"

namespace clip {

// Signed shoelace area, positive for a counter-clockwise ring (Y up); 0 below 3 vertices.
double Area(const Path& path);
// True when Area(path) >= 0.
bool Orientation(const Path& path);
// Reverse the vertex order in place.
void ReversePath(Path& path);
void ReversePaths(Paths& paths);
// 0 outside, 1 inside, -1 on the boundary.
int PointInPolygon(const IntPoint& point, const Path& path);

// One edge (p, q) of the point-in-polygon walk: returns true when the point lies on the
// edge, otherwise flips `inside` when the edge crosses the ray to the right of the point.
bool PointOnEdgeOrCrossing(const IntPoint& point, const IntPoint& p, const IntPoint& q, int& inside);

// Exact collinearity tests; 128-bit products once a coordinate exceeds the low range.
bool SlopesEqual(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3, bool useFullRange);
bool SlopesEqual(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3, const IntPoint& p4, bool useFullRange);
// a * b == c * d.
bool ProductsEqual(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d, bool useFullRange);

// Switches to 128-bit products beyond the low range; throws kRangeError beyond the high range.
void RangeTest(const IntPoint& point, bool& useFullRange);

bool Pt2IsBetweenPt1AndPt3(const IntPoint& p1, const IntPoint& p2, const IntPoint& p3);
void SwapPoints(IntPoint& a, IntPoint& b);
// The part two collinear segments share; true when it has positive length.
bool GetOverlapSegment(const IntPoint& a1, const IntPoint& a2, const IntPoint& b1, const IntPoint& b2, IntPoint& out1,
                       IntPoint& out2);

}  // namespace clip
