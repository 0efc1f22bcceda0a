#pragma once

#include <algorithm>
#include <cstdint>

#include "clipping/Enums.h"
#include "clipping/IntMath.h"
#include "clipping/IntPoint.h"

namespace clip {

// Slope marker of a horizontal edge.
constexpr double kHorizontal = -1.0e40;

// One edge of an input ring. "Bottom" is the end with the larger Y: the sweep runs
// from the largest Y to the smallest.
struct TEdge {
    IntPoint bottom;
    IntPoint current;  // the edge's point at the present scan line
    IntPoint top;
    IntPoint delta;  // top minus bottom in X and Y
    double dx = 0;   // change of X per unit of Y
    PolyType polyType = Subject;
    EdgeSide side = static_cast<EdgeSide>(0);
    std::int32_t windDelta = 0;
    std::int32_t windCount = 0;
    std::int32_t windCount2 = 0;
    std::int32_t outIndex = -1;
    TEdge* next = nullptr;
    TEdge* prev = nullptr;
    TEdge* nextInBound = nullptr;
    TEdge* nextActive = nullptr;
    TEdge* prevActive = nullptr;
    TEdge* nextSorted = nullptr;
    TEdge* prevSorted = nullptr;
};

struct LocalMinimum {
    std::int64_t y;
    TEdge* leftBound;
    TEdge* rightBound;
};

// The minimum with the larger y comes first.
struct LocMinSorter {
    bool operator()(const LocalMinimum& a, const LocalMinimum& b) const { return b.y < a.y; }
};

inline bool IsHorizontal(const TEdge& e) { return e.delta.Y == 0; }

// X of the edge at scan line y (inline: the sweep asks for it per active edge and scan line).
inline std::int64_t TopX(const TEdge& e, std::int64_t y) {
    if (y == e.top.Y) return e.top.X;
    const std::int64_t x = e.bottom.X + Round(e.dx * static_cast<double>(y - e.bottom.Y));
    // Far from the origin the product in doubles can overshoot the edge's ends by whole units.
    return std::clamp(x, std::min(e.bottom.X, e.top.X), std::max(e.bottom.X, e.top.X));
}
bool SlopesEqual(const TEdge& e1, const TEdge& e2, bool useFullRange);
// Sign of a's exact X minus b's at scan line y; a horizontal edge counts at its current X.
int CompareExactX(const TEdge& a, const TEdge& b, std::int64_t y);
// Order of two active edges at scan line y, where current.X holds their X rounded: negative
// when a lies left of b, by that X and, where it ties, by the exact X. Two edges at the same
// rounded X may well have crossed. Inline: the sweep orders its edges at every scan line.
inline int CompareAtScanLine(const TEdge& a, const TEdge& b, std::int64_t y) {
    if (a.current.X != b.current.X) return a.current.X < b.current.X ? -1 : 1;
    return CompareExactX(a, b, y);
}
// Sets bottom, top, delta, dx and the polygon type from the edge's and the next edge's start.
void InitEdge2(TEdge& e, PolyType polyType);
// Swaps X and Z of bottom and top.
void ReverseHorizontal(TEdge& e);
// Unlinks the edge from its ring; returns the next edge.
TEdge* RemoveEdge(TEdge* e);
// The next edge, walking forward, at which a local minimum starts.
TEdge* FindNextLocMin(TEdge* e);

}  // namespace clip
