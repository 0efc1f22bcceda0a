// What the input says at a point: rounding moves every result edge by less than a unit from
// where it belongs, so at a point farther than that from every input edge the input's own
// winding numbers, under the operation's fill rules, tell whether the result must cover it.
// That judges the rings rounding may have turned inside out or pushed out of their holders,
// where their own nesting misleads.
#include <algorithm>
#include <cmath>

#include "clipping/Engine.h"

namespace clip {

namespace {

// Rounding moves a vertex by at most half a unit in X and in Y, so an edge by less than a
// unit.
constexpr double kRoundingReach = 1.0;

bool Fills(int winding, PolyFillType fill) {
    switch (fill) {
        case EvenOdd:
            return winding % 2 != 0;
        case NonZero:
            return winding != 0;
        case Positive:
            return winding > 0;
        case Negative:
            return winding < 0;
    }
    return false;
}

}  // namespace

template <class Visit>
void Engine::ForEachInputEdge(Visit visit) const {
    for (const LocalMinimum& minimum : minimaList) {
        for (const TEdge* bound : {minimum.leftBound, minimum.rightBound}) {
            // Every edge of a bound crosses the sweep's scan lines the way its first edge does.
            for (const TEdge* e = bound; e; e = e->nextInBound) visit(*e, bound->windDelta);
        }
    }
}

bool Engine::InputFills(const RowPoint& p, bool& filled) const {
    int windings[2] = {0, 0};
    bool onEdge = false;
    ForEachInputEdge([&](const TEdge& e, int windDelta) {
        int side = 0;
        if (!CrossesRow(e.bottom, e.top, p, side)) return;
        if (side == 0) onEdge = true;
        // The sweep counts, right of each edge, the edges up to it.
        if (side < 0) windings[e.polyType] += windDelta;
    });
    if (onEdge) return false;
    const bool inSubject = Fills(windings[Subject], subjectFillType);
    const bool inClip = Fills(windings[Clip], clipFillType);
    switch (clipType) {
        case Intersection:
            filled = inSubject && inClip;
            break;
        case Union:
            filled = inSubject || inClip;
            break;
        case Difference:
            filled = inSubject && !inClip;
            break;
        case Xor:
            filled = inSubject != inClip;
            break;
    }
    return true;
}

bool Engine::ClearInnerPoint(const OutPt* ring, RowPoint& p) const {
    double best = kRoundingReach;
    bool found = false;
    for (const RowPoint& q : InnerPoints(ring)) {
        int winding = 0;
        if (!RingWinding(ring, q, winding) || winding == 0) continue;
        double clearance = HUGE_VAL;
        ForEachInputEdge([&](const TEdge& e, int) { clearance = std::min(clearance, DistanceBound(q, e.bottom, e.top)); });
        if (clearance > best) {
            best = clearance;
            p = q;
            found = true;
        }
    }
    return found;
}

bool Engine::ResultWinding(const RowPoint& p, const OutRec* skipped, int& winding) const {
    winding = 0;
    for (const OutRec* record : outRecords) {
        if (!record->pts || record == skipped) continue;
        int w = 0;
        if (!RingWinding(record->pts, p, w)) return false;
        winding += w;
    }
    if (reverseOutput) winding = -winding;
    return true;
}

bool Engine::InputKeeps(const OutPt* loop, const std::vector<const OutPt*>& ring, const OutRec* record,
                        RowPoint& p) const {
    bool filled = false;
    int winding = 0;
    if (!ClearInnerPoint(loop, p) || !InputFills(p, filled) || !ResultWinding(p, record, winding)) return false;
    for (const OutPt* part : ring) {
        int w = 0;
        if (!RingWinding(part, p, w)) return false;
        winding += reverseOutput ? -w : w;
    }
    return winding == (filled ? 1 : 0);
}

}  // namespace clip
