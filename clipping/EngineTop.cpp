// The events at a scan line: edges reaching their top (maxima and intermediate vertices)
// and horizontal edges.
#include <algorithm>

#include "clipping/ClipError.h"
#include "clipping/Engine.h"

namespace clip {

namespace {

bool IsMaxima(const TEdge& e, std::int64_t y) { return e.top.Y == y && !e.nextInBound; }

bool IsIntermediate(const TEdge& e, std::int64_t y) { return e.top.Y == y && e.nextInBound; }

// Restores a point's Z when it goes out of scope.
class ZRestorer {
public:
    explicit ZRestorer(IntPoint& pt) : pt_(pt), z_(pt.Z) {}
    ~ZRestorer() { pt_.Z = z_; }
    ZRestorer(const ZRestorer&) = delete;
    ZRestorer& operator=(const ZRestorer&) = delete;

private:
    IntPoint& pt_;
    std::int64_t z_;
};

}  // namespace

TEdge* GetMaximaPair(const TEdge& e) {
    TEdge* pair = nullptr;
    if (e.next->top == e.top && !e.next->nextInBound)
        pair = e.next;
    else if (e.prev->top == e.top && !e.prev->nextInBound)
        pair = e.prev;
    if (!pair) return nullptr;
    const bool notActive = !pair->nextActive && !pair->prevActive;
    if (pair->outIndex == -2 || (notActive && !IsHorizontal(*pair))) return nullptr;
    return pair;
}

void GetHorzDirection(const TEdge& h, Direction& dir, std::int64_t& left, std::int64_t& right) {
    dir = h.bottom.X < h.top.X ? LeftToRight : RightToLeft;
    left = std::min(h.bottom.X, h.top.X);
    right = std::max(h.bottom.X, h.top.X);
}

TEdge* GetNextInAEL(const TEdge* e, Direction dir) { return dir == LeftToRight ? e->nextActive : e->prevActive; }

bool HorzSegmentsOverlap(std::int64_t a1, std::int64_t a2, std::int64_t b1, std::int64_t b2) {
    return std::min(a1, a2) < std::max(b1, b2) && std::min(b1, b2) < std::max(a1, a2);
}

void Engine::ProcessEdgesAtTopOfScanbeam(std::int64_t topY) {
    for (TEdge* e = activeEdges; e;) {
        bool maximum = IsMaxima(*e, topY);
        if (maximum) {
            const TEdge* pair = GetMaximaPair(*e);
            maximum = !(pair && IsHorizontal(*pair));  // the horizontal's processing finishes it
        }
        if (maximum) {
            TEdge* left = e->prevActive;
            DoMaxima(e);
            e = left ? left->nextActive : activeEdges;
            continue;
        }
        if (IsIntermediate(*e, topY) && IsHorizontal(*e->nextInBound)) {
            UpdateEdgeIntoAEL(e);
            if (e->outIndex >= 0) AddOutPt(e, e->bottom);
            AddEdgeToSEL(e);
        } else {
            e->current.X = TopX(*e, topY);
            e->current.Y = topY;
        }
        TEdge* left = e->prevActive;
        if (strictlySimple && left && e->outIndex >= 0 && left->outIndex >= 0 && e->windDelta != 0 &&
            left->windDelta != 0 && left->current.X == e->current.X) {
            IntPoint pt = e->current;
            SetZ(pt, *left, *e);
            OutPt* op = AddOutPt(left, pt);
            AddJoin(op, AddOutPt(e, pt), pt);
        }
        e = e->nextActive;
    }

    ProcessHorizontals(true);

    for (TEdge* e = activeEdges; e; e = e->nextActive) {
        if (!IsIntermediate(*e, topY)) continue;
        OutPt* op = e->outIndex >= 0 ? AddOutPt(e, e->top) : nullptr;
        UpdateEdgeIntoAEL(e);
        if (op) JoinWithNeighbour(op, e);
    }
}

void Engine::JoinWithNeighbour(OutPt* op, const TEdge* e) {
    if (e->windDelta == 0) return;
    for (TEdge* n : {e->prevActive, e->nextActive}) {
        if (n && n->current == e->bottom && n->windDelta != 0 && n->outIndex >= 0 && n->current.Y > n->top.Y &&
            SlopesEqual(*e, *n, useFullRange)) {
            AddJoin(op, AddOutPt(n, e->bottom), e->top);
            return;
        }
    }
}

void Engine::DoMaxima(TEdge* e) {
    TEdge* pair = GetMaximaPair(*e);
    if (!pair) {
        if (e->outIndex >= 0) AddOutPt(e, e->top);
        DeleteFromAEL(e);
        return;
    }
    {
        // The crossings here chain their Z means through e->top (each includes the last); the
        // input's Z comes back afterwards, so that every execution starts from the same input.
        const ZRestorer keep(e->top);
        for (TEdge* n = e->nextActive; n && n != pair; n = e->nextActive) {
            IntersectEdges(e, n, e->top);
            SwapPositionsInAEL(e, n);
        }
        if (e->outIndex >= 0 && pair->outIndex >= 0) {
            AddLocalMaxPoly(e, pair, e->top);
        } else if (e->outIndex >= 0 || pair->outIndex >= 0) {
            throw ClipError("DoMaxima error");
        }
    }
    DeleteFromAEL(e);
    DeleteFromAEL(pair);
}

void Engine::ProcessHorizontals(bool atTop) {
    while (TEdge* h = sortedEdges) {
        DeleteFromSEL(h);
        ProcessHorizontal(h, atTop);
    }
}

void Engine::JoinOverlappingHorizontals(const TEdge* h, OutPt* op) {
    for (TEdge* s = sortedEdges; s; s = s->nextSorted) {
        if (s->outIndex >= 0 && HorzSegmentsOverlap(h->bottom.X, h->top.X, s->bottom.X, s->top.X))
            AddJoin(AddOutPt(s, s->bottom), op, s->top);
    }
}

void Engine::CloseHorizontalMaximum(TEdge* h, TEdge* pair) {
    if (h->outIndex >= 0) {
        OutPt* op1 = AddOutPt(h, h->top);
        JoinOverlappingHorizontals(h, op1);
        AddGhostJoin(op1, h->bottom);
        AddLocalMaxPoly(h, pair, h->top);
    }
    DeleteFromAEL(h);
    DeleteFromAEL(pair);
}

void Engine::ProcessHorizontal(TEdge* h, bool atTop) {
    Direction dir;
    std::int64_t left, right;
    GetHorzDirection(*h, dir, left, right);
    const TEdge* last = h;
    while (last->nextInBound && IsHorizontal(*last->nextInBound)) last = last->nextInBound;
    const TEdge* pair = last->nextInBound ? nullptr : GetMaximaPair(*last);

    for (;;) {
        for (TEdge* e = GetNextInAEL(h, dir); e;) {
            // Beyond the end of an intermediate horizontal, edges steeper than the next one stay.
            if (e->current.X == h->top.X && h->nextInBound && e->dx < h->nextInBound->dx) break;
            const bool within = dir == LeftToRight ? e->current.X <= right : e->current.X >= left;
            if (!within) break;
            TEdge* next = GetNextInAEL(e, dir);
            if (e == pair && h == last) {
                CloseHorizontalMaximum(h, e);
                return;
            }
            IntPoint pt(e->current.X, h->current.Y);
            if (dir == LeftToRight) {
                IntersectEdges(h, e, pt);
            } else {
                IntersectEdges(e, h, pt);
            }
            SwapPositionsInAEL(h, e);
            e = next;
        }
        if (!h->nextInBound || !IsHorizontal(*h->nextInBound)) break;
        UpdateEdgeIntoAEL(h);
        if (h->outIndex >= 0) AddOutPt(h, h->bottom);
        GetHorzDirection(*h, dir, left, right);
    }

    if (!h->nextInBound) {
        if (h->outIndex >= 0) AddOutPt(h, h->top);
        DeleteFromAEL(h);
        return;
    }
    if (h->outIndex < 0) {
        UpdateEdgeIntoAEL(h);
        return;
    }
    OutPt* op1 = AddOutPt(h, h->top);
    if (atTop) AddGhostJoin(op1, h->bottom);
    UpdateEdgeIntoAEL(h);
    JoinWithNeighbour(op1, h);
}

}  // namespace clip
