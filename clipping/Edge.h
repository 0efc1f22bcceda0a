#pragma once

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
    return e.bottom.X + Round(e.dx * static_cast<double>(y - e.bottom.Y));
}
bool SlopesEqual(const TEdge& e1, const TEdge& e2, bool useFullRange);
// Order of two active edges at scan line y, where current.X holds their X rounded: negative
// when a lies left of b, by that X and, where it ties, by the exact X (a horizontal edge
// counts at its current X). Two edges at the same rounded X may well have crossed.
int CompareAtScanLine(const TEdge& a, const TEdge& b, std::int64_t y);
// Sets bottom, top, delta, dx and the polygon type from the edge's and the next edge's start.
void InitEdge2(TEdge& e, PolyType polyType);
// Swaps X and Z of bottom and top.
void ReverseHorizontal(TEdge& e);
// Unlinks the edge from its ring; returns the next edge.
TEdge* RemoveEdge(TEdge* e);
// The next edge, walking forward, at which a local minimum starts.
TEdge* FindNextLocMin(TEdge* e);

}  // namespace clip
