// Crossings of active edges between two scan lines, processed bottom-most first and only
// ever between neighbours in the active list.
#include <algorithm>
#include <cmath>

#include "clipping/ClipError.h"
#include "clipping/Engine.h"
#include "clipping/IntMath.h"

namespace clip {

namespace {

// The crossing when one edge is vertical (delta X 0) and the other is not.
void CrossVertical(const TEdge& vertical, const TEdge& other, IntPoint& pt) {
    pt.X = vertical.bottom.X;
    if (IsHorizontal(other)) {
        pt.Y = other.bottom.Y;
        return;
    }
    const double x = static_cast<double>(pt.X);
    const double offset = static_cast<double>(other.bottom.Y) - static_cast<double>(other.bottom.X) / other.dx;
    pt.Y = Round(x / other.dx + offset);
}

// The crossing's X kept within the X the steeper edge e has over the rows next to the
// crossing's Y: the exact crossing lies within half a row of that Y, so a sound X always
// is, while b1 and b2 above, beyond the low range, lose whole units and may put X far off
// a steep edge yet within both edges' spans.
std::int64_t NearSteeperEdge(const TEdge& e, const IntPoint& pt) {
    const std::int64_t below = TopX(e, pt.Y + 1);
    const std::int64_t above = TopX(e, pt.Y - 1);
    return std::clamp(pt.X, std::min(below, above), std::max(below, above));
}

bool Adjacent(const IntersectNode& node) {
    return node.edge1->nextSorted == node.edge2 || node.edge1->prevSorted == node.edge2;
}

// The scan line nearest to where e1, left of e2 at the beam's bottom botY and right of it at
// its top topY, crosses e2: the exact order of the two edges is bisected down to adjacent
// scan lines, and the crossing's Y before rounding picks between them.
std::int64_t CrossingScanLine(const TEdge& e1, const TEdge& e2, std::int64_t topY, std::int64_t botY) {
    std::int64_t swapped = topY, unswapped = botY;
    while (unswapped - swapped > 1) {
        const std::int64_t mid = swapped + (unswapped - swapped) / 2;
        if (CompareExactX(e1, e2, mid) > 0) {
            swapped = mid;
        } else {
            unswapped = mid;
        }
    }
    return CrossingY(e1, e2) < static_cast<long double>(swapped) + 0.5L ? swapped : unswapped;
}

}  // namespace

void IntersectPoint(const TEdge& e1, const TEdge& e2, std::int64_t topY, bool useFullRange, IntPoint& pt) {
    pt = IntPoint();
    if (e1.dx == e2.dx) {
        pt.Y = e1.current.Y;
        pt.X = TopX(e1, pt.Y);
        return;
    }
    const bool e1Steeper = std::fabs(e1.dx) < std::fabs(e2.dx);
    if (e1.delta.X == 0) {
        CrossVertical(e1, e2, pt);
    } else if (e2.delta.X == 0) {
        CrossVertical(e2, e1, pt);
    } else {
        const double b1 = static_cast<double>(e1.bottom.X) - static_cast<double>(e1.bottom.Y) * e1.dx;
        const double b2 = static_cast<double>(e2.bottom.X) - static_cast<double>(e2.bottom.Y) * e2.dx;
        const double q = (b2 - b1) / (e1.dx - e2.dx);
        pt.Y = Round(q);
        pt.X = e1Steeper ? Round(e1.dx * q + b1) : Round(e2.dx * q + b2);
    }
    const TEdge& steeper = e1Steeper ? e1 : e2;
    if (useFullRange) {
        // Beyond the low range the doubles above can lose more than a scanbeam's height; the
        // edges did swap within the beam, so a crossing off it is looked for there. One on it
        // may still have lost whole units of X.
        if (pt.Y < topY || pt.Y > e1.current.Y) {
            pt.Y = CrossingScanLine(e1, e2, topY, e1.current.Y);
            pt.X = TopX(steeper, pt.Y);
        } else {
            pt.X = NearSteeperEdge(steeper, pt);
        }
    }
    if (pt.Y < e1.top.Y || pt.Y < e2.top.Y) {
        pt.Y = std::max(e1.top.Y, e2.top.Y);
        pt.X = TopX(steeper, pt.Y);
    }
    if (pt.Y > e1.current.Y) {
        pt.Y = e1.current.Y;
        pt.X = TopX(std::fabs(e1.dx) > std::fabs(e2.dx) ? e2 : e1, pt.Y);
    }
    // Rounding may also lift a crossing above the scanbeam (whose top may lie below both
    // edges' tops): back onto the beam's top on e1, ahead of the clamp below, since e1's X
    // there may lie far beyond e2's span.
    if (pt.Y < topY) {
        pt.Y = topY;
        pt.X = TopX(e1, topY);
    }
    // Far from the origin the doubles above lose whole units: keep the point where both
    // edges are, never beyond their ends (and so never beyond the coordinate range).
    const std::int64_t left = std::max(std::min(e1.bottom.X, e1.top.X), std::min(e2.bottom.X, e2.top.X));
    const std::int64_t right = std::min(std::max(e1.bottom.X, e1.top.X), std::max(e2.bottom.X, e2.top.X));
    if (left <= right) pt.X = std::clamp(pt.X, left, right);
}

long double CrossingY(const TEdge& e1, const TEdge& e2) {
    using L = long double;
    // On the line of edge e, x = bottom.X + (y - bottom.Y) * delta.X / delta.Y.
    const L dx1 = e1.delta.X, dy1 = e1.delta.Y, dx2 = e2.delta.X, dy2 = e2.delta.Y;
    const L denominator = dx1 * dy2 - dx2 * dy1;
    if (denominator == 0) return e1.current.Y;
    const L numerator = (L(e2.bottom.X) - L(e1.bottom.X)) * dy1 * dy2 + L(e1.bottom.Y) * dx1 * dy2 -
                        L(e2.bottom.Y) * dx2 * dy1;
    return numerator / denominator;
}

bool IntersectListSort(const IntersectNode& node1, const IntersectNode& node2) {
    if (node1.pt.Y != node2.pt.Y) return node2.pt.Y < node1.pt.Y;
    return node2.y < node1.y;
}

bool Engine::ProcessIntersections(std::int64_t topY) {
    if (!activeEdges) return true;
    // Every exit leaves no crossing node and no sorted list behind.
    struct Cleanup {
        Engine& engine;
        ~Cleanup() {
            engine.sortedEdges = nullptr;
            engine.DisposeIntersectNodes();
        }
    } cleanup{*this};
    try {
        BuildIntersectList(topY);
        if (intersections.empty()) return true;
        if (intersections.size() > 1 && !FixupIntersectionOrder()) return false;
        ProcessIntersectList();
    } catch (...) {
        throw ClipError("ProcessIntersections error");
    }
    return true;
}

void Engine::BuildIntersectList(std::int64_t topY) {
    CopyAELToSEL();
    for (TEdge* e = activeEdges; e; e = e->nextActive) e->current.X = TopX(*e, topY);
    bool swapped = true;
    while (swapped && sortedEdges) {
        swapped = false;
        TEdge* e = sortedEdges;
        while (e->nextSorted) {
            TEdge* next = e->nextSorted;
            if (CompareAtScanLine(*e, *next, topY) <= 0) {
                e = next;
                continue;
            }
            IntPoint pt;
            IntersectPoint(*e, *next, topY, useFullRange, pt);
            intersections.push_back(IntersectNode{e, next, pt, CrossingY(*e, *next)});
            SwapPositionsInSEL(e, next);
            swapped = true;
        }
        if (!e->prevSorted) break;  // one edge left
        e->prevSorted->nextSorted = nullptr;
    }
    sortedEdges = nullptr;
}

bool Engine::FixupIntersectionOrder() {
    CopyAELToSEL();
    std::sort(intersections.begin(), intersections.end(), IntersectListSort);
    for (std::size_t i = 0; i < intersections.size(); ++i) {
        if (!Adjacent(intersections[i])) {
            std::size_t j = i + 1;
            while (j < intersections.size() && !Adjacent(intersections[j])) ++j;
            if (j == intersections.size()) return false;
            std::swap(intersections[i], intersections[j]);
        }
        SwapPositionsInSEL(intersections[i].edge1, intersections[i].edge2);
    }
    return true;
}

void Engine::ProcessIntersectList() {
    for (IntersectNode& node : intersections) {
        IntersectEdges(node.edge1, node.edge2, node.pt);
        SwapPositionsInAEL(node.edge1, node.edge2);
    }
}

void Engine::DisposeIntersectNodes() { intersections.clear(); }

namespace {

// A winding count read through its fill rule.
std::int32_t FilledCount(std::int32_t count, PolyFillType fill) {
    if (fill == Positive) return count;
    if (fill == Negative) return -count;
    return count < 0 ? -count : count;
}

bool ZeroOrOne(std::int32_t w) { return w == 0 || w == 1; }

void SwapSidesAndIndexes(TEdge& e1, TEdge& e2) {
    std::swap(e1.side, e2.side);
    std::swap(e1.outIndex, e2.outIndex);
}

}  // namespace

void Engine::IntersectEdges(TEdge* e1, TEdge* e2, IntPoint& pt) {
    SetZ(pt, *e1, *e2);
    const bool e1Contributing = e1->outIndex >= 0;
    const bool e2Contributing = e2->outIndex >= 0;
    CrossWindingCounts(*e1, *e2);
    const std::int32_t w1 = FilledCount(e1->windCount, OwnFill(*e1));
    const std::int32_t w2 = FilledCount(e2->windCount, OwnFill(*e2));

    if (e1Contributing && e2Contributing) {
        if (!ZeroOrOne(w1) || !ZeroOrOne(w2) || (e1->polyType != e2->polyType && clipType != Xor)) {
            AddLocalMaxPoly(e1, e2, pt);
        } else {
            AddOutPt(e1, pt);
            AddOutPt(e2, pt);
            SwapSidesAndIndexes(*e1, *e2);
        }
    } else if (e1Contributing || e2Contributing) {
        // The contributing edge carries its ring on across the other.
        if (ZeroOrOne(e1Contributing ? w2 : w1)) {
            AddOutPt(e1Contributing ? e1 : e2, pt);
            SwapSidesAndIndexes(*e1, *e2);
        }
    } else if (ZeroOrOne(w1) && ZeroOrOne(w2)) {
        if (e1->polyType != e2->polyType) {
            AddLocalMinPoly(e1, e2, pt);
        } else if (w1 == 1 && w2 == 1) {
            if (StartsRingAtCrossing(*e1, *e2)) AddLocalMinPoly(e1, e2, pt);
        } else {
            std::swap(e1->side, e2->side);
        }
    }
}

void Engine::CrossWindingCounts(TEdge& e1, TEdge& e2) const {
    if (e1.polyType == e2.polyType) {
        if (IsEvenOddFillType(e1)) {
            std::swap(e1.windCount, e2.windCount);
        } else {
            e1.windCount = e1.windCount + e2.windDelta == 0 ? -e1.windCount : e1.windCount + e2.windDelta;
            e2.windCount = e2.windCount - e1.windDelta == 0 ? -e2.windCount : e2.windCount - e1.windDelta;
        }
    } else {
        e1.windCount2 = IsEvenOddFillType(e2) ? 1 - e1.windCount2 : e1.windCount2 + e2.windDelta;
        e2.windCount2 = IsEvenOddFillType(e1) ? 1 - e2.windCount2 : e2.windCount2 - e1.windDelta;
    }
}

bool Engine::StartsRingAtCrossing(const TEdge& e1, const TEdge& e2) const {
    const std::int32_t s1 = FilledCount(e1.windCount2, OtherFill(e1));
    const std::int32_t s2 = FilledCount(e2.windCount2, OtherFill(e2));
    switch (clipType) {
        case Intersection:
            return s1 > 0 && s2 > 0;
        case Union:
            return s1 <= 0 && s2 <= 0;
        case Difference:
            return (e1.polyType == Clip && s1 > 0 && s2 > 0) || (e1.polyType == Subject && s1 <= 0 && s2 <= 0);
        case Xor:
            return true;
    }
    return false;
}

}  // namespace clip
